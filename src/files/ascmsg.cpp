// The texts of the ASCII reader's messages: from the catalogue when it is
// loaded, else the built-in copies (which the catalogue must match).
#include <cstring>

#include "db/lang.h"
#include "files/ascint.h"

namespace {

struct Message {
    int32_t id;
    const char* text;
};

const Message kMessages[] = {
    {kAscMsgSyntax, "Syntax Error"},
    {kAscMsgCantOpen, "Can't open input file %s"},
    {kAscMsgUnknownKeyword, "Unrecognized Keyword"},
    {kAscMsgUnexpectedEnd, "Unexpected end of file"},
    {kAscMsgBadVersion, "Invalid version number"},
    {kAscMsgBadInch, "Invalid inch factor"},
    {kAscMsgStartTwice, "Already read *START, ignoring this one"},
    {kAscMsgInitFailed, "Failed to initialize data base... cannot continue"},
    {kAscMsgNoMemory, "There is not enough memory available."},
    {kAscMsgTooOld, "File is too old or does not contain valid data."},
    {kAscMsgReading, "Reading ASCII Database File..."},
    {kAscMsgSorting, "Sorting..."},
    {kAscMsgOptimizing, "Optimizing..."},
    {kAscMsgOutOfRange, "%s out of range (%ld)"},
    {kAscMsgTableFull, "%s dropped: table full"},
    {kAscMsgRejected, "%s rejected (code %ld)"},
    {kAscMsgStrategyRange, "Strategy number is out of range"},
    {kAscMsgPassRange, "Pass number is out of range"},
    {kAscMsgBoxZero, "The coordinate of routing area cannot be 0"},
    {kAscMsgUnknownItem, "Unrecognized keyword %s"},
    {kAscMsgPlacePassRange, "Place pass number is out of range"},
    {kAscMsgLayerCode, "Layer code (%d) out of range"},
    {kAscMsgLayerNumberTwice, "Already specified layer number (%d)"},
    {kAscMsgLayerNameTwice, "Already specified layer name (%s)"},
    {kAscMsgViaNumberTwice, "Already specified VIA number (%d)"},
    {kAscMsgViaNameTwice, "Already specified VIA name (%s)"},
    {kAscMsgThruNumberTwice, "Already specified THRU number (%d)"},
    {kAscMsgThruNameTwice, "Already specified THRU name (%s)"},
    {kAscMsgSymbolNameTwice, "Already specified SYMBOL name (%s)"},
    {kAscMsgPackageNameTwice, "Already specified PACKAGE name (%s)"},
    {kAscMsgLayerHead, "Must specified layer number or name"},
    {kAscMsgViaHead, "Must specify a VIA number or name"},
    {kAscMsgThruHead, "Must specify a THRU number or name"},
    {kAscMsgSymbolHead, "Must specify a SYMBOL number or name"},
    {kAscMsgPackageHead, "Must specify a PACKAGE number or name"},
    {kAscMsgLayerDuplicate, "Duplicated layer name \"%s\" found"},
    {kAscMsgTooManyLayers, "ERROR too many layers"},
    {kAscMsgViaDuplicate, "Duplicated viaName \"%s\" found"},
    {kAscMsgViaCode, "VIA code (%d) out of range"},
    {kAscMsgThruDuplicate, "Duplicated Thru name \"%s\" found"},
    {kAscMsgThruCode, "THRU code (%d) out of range"},
    {kAscMsgUndefinedLayer, "Undefined Layer (%s)"},
    {kAscMsgTooManyShapes, "ThruCode has too many shapes (Max = %d)"},
    {kAscMsgViaRound, "Via %d shape changed to round"},
    {kAscMsgViaOneShape, "Vias can only have one shape."},
    {kAscMsgWidthNegative, "W: less than zero (%d)"},
    {kAscMsgHeightNegative, "H: less than zero (%d)"},
    {kAscMsgDimsBeforeShape, "ThruCode dimensions specified before shape name"},
    {kAscMsgNoDims, "No width or height specified"},
    {kAscMsgNotSquare, "Width not equal to Height on ROUND or SQUARE pad"},
    {kAscMsgCentreOutside, "Center is outside primary pad area"},
    {kAscMsgPrimaryOffsets, "Offsets not allowed on primary pad shape of %s"},
    {kAscMsgSymbolDuplicate, "Duplicated symbol name \"%s\" found"},
    {kAscMsgSymbolCode, "SYMBOL code (%d) out of range"},
    {kAscMsgPinNumberTwice, "Already specified PIN number (%d)"},
    {kAscMsgPinNameTwice, "Already specified PIN name (%s)"},
    {kAscMsgPinThruCode, "Thru code (%d) out of range"},
    {kAscMsgUndefinedThru, "Undefined Thrucode (%s)"},
    {kAscMsgPinMissing, "Pin (%d) doesn't exist"},
    {kAscMsgPkgPinNumber, "Cannot find PIN number in Package section"},
    {kAscMsgPkgGateName, "Cannot find Gate Name in Package section"},
    {kAscMsgPkgPadName, "Cannot find Pad Name in Package section"},
    {kAscMsgPkgGateGroup, "Cannot find Gate Group in Package section"},
    {kAscMsgPkgPadGroup, "Cannot find Pad Group in Package section"},
    {kAscMsgCompName, "Missing component name"},
    {kAscMsgUndefinedSymbol, "Undefined SYMBOL (%s)"},
    {kAscMsgBadSymbolRef, "Bad SYMBOL reference"},
    {kAscMsgWMissing, "W: missing"},
    {kAscMsgMinNegative, "MIN: less than zero (%d)"},
    {kAscMsgZidNegative, "ZID: less than zero (%d)"},
    {kAscMsgSourceMissing, "Source component.pin missing"},
    {kAscMsgNoComponent, "Cannot find component %s"},
    {kAscMsgSourcePin, "Source Pin number missing"},
    {kAscMsgLayerRange, "Layer (%d) out of range"},
    {kAscMsgTooManyCorners, "Too many corners"},
    {kAscMsgNoPad, "Cannot find pad at [%ld,%ld]"},
    {kAscMsgTargetMissing, "Target component.pin missing"},
    {kAscMsgTargetPin, "Target Pin number missing"},
    {kAscMsgTwoCorners, "Must have at least two corners"},
    {kAscMsgPinMissingSeg, "component.pin missing"},
    {kAscMsgOneCoord, "Must have at least one coord"},
    {kAscMsgViaOneCoord, "Via must have only one coord"},
    {kAscMsgObsType, "Missing OBS type"},
    {kAscMsgObsCorners, "OBS too few corners"},
    {kAscMsgTextString, "Missing TEXT string"},
    {kAscMsgTextType, "Missing TEXT type"},
    {kAscMsgSegCopperNoPins, "*SEG: net %s has copper but fewer than 2 pins"},
};
constexpr int32_t kCount = int32_t(sizeof kMessages / sizeof kMessages[0]);

// Room for a few texts in use at once (a format and its arguments).
char g_ring[4][LANG_TEXT_MAX + 1];
int32_t g_next = 0;

} // namespace

const char* AscMsgBuiltin(int32_t id) {
    for (const Message& m : kMessages)
        if (m.id == id) return m.text;
    return nullptr;
}

int32_t AscMsgCount() {
    return kCount;
}

int32_t AscMsgNumber(int32_t i) {
    return (i >= 0 && i < kCount) ? kMessages[i].id : 0;
}

const char* AscMsg(int32_t id) {
    char* out = g_ring[g_next];
    g_next = (g_next + 1) % 4;
    if (LangIsLoaded() && LangGetString(id, LANG_TEXT_MAX, out)) return out;
    const char* text = AscMsgBuiltin(id);
    return text ? text : "";
}
