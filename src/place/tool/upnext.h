// Handing the user the next components to place: Next Comp and Select Next
// (UpPickNext), Select (UpPickNextAsk), the "Select Next" choice dialog
// and the "Component Selection Criteria" dialog. Both dialogs are built
// and read through the PlaceHost's dialog calls; every input error keeps
// the dialog open with an alert.
#pragma once
#include <cstdint>

#include "db/err.h"

// Catalogue messages and dialog items.
enum : int32_t {
    kMsgSelectNext = 52510,       // dialog "Select Next"
    kMsgNextCount = 52519,        // static "%d Components"
    kMsgNoneChosen = 52551,       // "No component selected"
    kMsgNameNotFound = 52552,     // "Component name not found"
    kMsgNextName = 52561,         // text field "Component name"
    kMsgAllPlaced = 52562,        // "All components are placed."
    kMsgAllPlacedRecycle = 52563, // "All components are placed.  Recycle?"
    kMsgNoneEligible = 52564,     // "No components are eligible."
    kNextRadioBase = 52570,       // radio item = base + position in the list (1..30)
    kMsgCriteria = 57059,         // dialog "Component Selection Criteria"
    kCriteriaName = 57001,        // "Comp Name"
    kCriteriaFootprint = 57011,   // "Footprint Name"
    kCriteriaMinPins = 57021,     // "Minimum Pins"
    kCriteriaMaxPins = 57031,     // "Maximum Pins"
    kCriteriaUnplaced = 57041,    // check box "Only Unplaced"
    kCriteriaClearLock = 57051,   // check box "Clear lock flag"
    kMsgNoCriteriaMatch = 57083,  // "No components meet criteria"
};

// The dialogs' limits and layout.
enum : int32_t {
    kNextRadioMax = 30,        // more candidates than this: the name field
    kNextThreeColumns = 20,    // candidates from which the radios take three columns
    kNextFootprintLabels = 10, // candidates up to which a label names the footprint
    kNextLabelWidth = 20,      // radio labels are padded with blanks to this width
    kNextNameWidth = 20,       // characters of the name field
    kCriteriaTextWidth = 24,   // characters of the two pattern fields
    kCriteriaNumberWidth = 10, // characters of the two pin fields
};

// Fatal checks (module 3616).
enum : ErrCode {
    kErrUpNextIndex = 3616200, // a candidate outside the component table
    kErrUpNextFixed = 3616210, // Select offered a fixed or locked component
    kErrUpNextDepth = 3616220, // Select with a journal level open
};

// The "Select Next" dialog over n candidates (list[0] is first): the chosen
// component, 0 when cancelled.
int32_t UpNextDialog(int32_t first, int32_t n, const int16_t* list);
// The criteria dialog: 1 when OK found at least one matching component
// (their flags committed), 0 when cancelled. "Only Unplaced" and "Clear
// lock flag" keep their states from one run to the next.
int32_t upPickNextDialog();
