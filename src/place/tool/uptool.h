// The interactive placement tool (tool state 30404): its state, its two
// entry points (UpCommand for the shell's tool dispatch, UpToolHook while
// a selection is open) and the operations they share. The selection is
// the set of component records saved at the open journal level; a drop
// commits the level, an abort rejects it. Everything visual or modal goes
// through the PlaceHost.
#pragma once
#include <cstddef>
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

struct PlPairTable;

// Commands and window messages the tool sends or answers.
enum : int32_t {
    kUpTrack = 30016,
    kUpButtonDown = 30020,
    kUpButtonUp = 30022,
    kUpClick = 30024,
    kUpAbort = 30026,
    kUpMenuSetup = 30030,
    kUpOpenObject = 30036,
    kUpEdit30038 = 30038,
    kUpFinish = 30044,
    kUpRefresh = 30046,
    kUpAfterUndo = 30050,
    kUpInstall = 30054,
    kUpContextMenu = 30061,
    kUpOpposite = 30150,
    kUpRotate = 30152,
    kUpCluster = 30154,
    kUpSwap = 30156,
    kUpQuickPlace = 30158,
    kUpFix = 30160,
    kUpLock = 30162,
    kUpCriteria = 30166,
    kUpSelectNext = 30168,
    kUpMatrixPlace = 30170,
    kUpAdjust = 30172,
    kUpFootprint = 30176,
    kUpNextComp = 30182,
    kUpRename = 30184,
    kUpModify = 30204,
    kUpDelete = 30208,
    kUpSelect = 30212,
    kUpUndo = 30254,
    kUpMincon = 30368,
    kUpMoveOnOff = 30402,
    kUpDrcEnabled = 30446,
    kUpReconnEnabled = 30448,
    kUpConnDisplay = 30640,
    kUpFinishNext = 30928,
    kUpMenuEdit = 30200,
    kUpMenuWindow = 30999,
    // the routing tools the Library view disables
    kUpToolManual = 30422,
    kUpToolAutoPath = 30424,
    kUpToolViaPath = 30426,
    kUpToolLatched = 30428,
    kUpToolShove = 30430,
    kUpToolGridless = 30432,
};

// Menu states of menuEnableCommand.
enum : int32_t { kMenuEnabled = 1, kMenuDisabled = 2, kMenuState3 = 3 };

// Catalogue messages.
enum : int32_t {
    kMsgNoRam = 30064,
    kMsgCannotClearDrc = 52001,
    kMsgSelectComps = 52101,
    kMsgSelectFromMenu = 52102,
    kMsgSelectSwapPartner = 52103,
    kMsgNoCompsSelected = 52104,
    kMsgCannotSwapNew = 52106,
    kMsgPartnerFixed = 52141,
    kMsgPartnerLocked = 52142,
    kMsgCompName = 52163,
    kMsgNoNearby = 52501,
    kMsgCompFixed = 52571,
    kMsgCompLocked = 52572,
    kMsgCompsLocked = 52574,
    kMsgNoMatrix = 52976,
};

// Component flags the tool reads and writes.
enum : uint16_t {
    kUpCompUnplaced = 0x04,
    kUpCompLocked = 0x10,
    kUpCompFixed = 0x20,
};

// Journal item flags of the tool (the journal's own are 0x01 created and
// 0x02 deleted).
enum : uint16_t {
    kUpItemMapped = 0x04, // picked component; connection whose map changed
    kUpItemNew = 0x10,    // a newly added component
    kUpItemRotated = 0x20,
    kUpItemNotDrawn = 0x200,
    kUpItemAdded = 0x11, // newly added: the tool's mark or the journal's own
};

// Header, window and drawing constants.
enum : int32_t {
    kUpHeaderBits = 0x30,
    kUpPlaceWindowBits = 0x03,
    kUpLibraryWindowBits = 0x0B,
    kUpStatusParts = 7,
    kUpObjPin = 7, // ObjectInfoPrint kinds
    kUpObjComp = 9,
    kUpDrawOutline = 0,
    kUpDrawCommitted = 1,
    kUpDrawAbandon = 2,
    kUpDrawStill = 5,
    kUpConnFlagBits = 0x64, // object-table connection bits cleared after a move
    kUpAngleRight = 5400,   // positions snap only at multiples of a right angle
    kUpEndTrackNoDraw = 4,
    kUpEndTrackDraw = 3,
};

// Fatal checks of the tool (module 3616).
enum : ErrCode {
    kErrUpHookDepth = 3616010,   // the hook entered at a wrong journal depth
    kErrUpDrawDepth = 3616020,   // drawRemainder without exactly one level
    kErrUpDrawTool = 3616030,    // drawRemainder outside tool state 30404
    kErrUpSelGrow = 3616040,     // PlSelected could not grow
    kErrUpFlagCommand = 3616050, // UpSetCompFlag with another command
    kErrUpConnMapped = 3616060,  // a connection entry already carrying 0x04
    kErrUpOneLevel = 3616070,    // commit without exactly one level left
    kErrUpRotateSpare = 3616080, // a component entry already carrying a rotation increment
    kErrUpSwapIndex = 3616090,   // doSwap with an index below 1
    kErrUpSwapDepth = 3616100,   // the swap partner picked at a wrong journal depth
};

struct UpToolState {
    uint8_t* selected = nullptr; // PlSelected, 1..capacity
    int16_t capacity = 0;
    int16_t selCount = 0;
    int32_t anchorX = 0, anchorY = 0;
    int32_t lastX = 0, lastY = 0;
    int32_t trackX = 0, trackY = 0;
    int16_t redrawPending = 0;
    bool flightShown = false;
    int16_t pairShown = 0;
    uint16_t connDisplay = 1;
    PlPairTable* flight = nullptr; // 11,232 bytes
};
extern UpToolState g_up;

// The allocator of the tool's two buffers (zeroed blocks; null on
// failure); tests replace it.
typedef void* (*UpAllocProc)(size_t bytes);
extern UpAllocProc g_upAlloc;

// Entry points.
int32_t UpInit();
int32_t UpCommand(int32_t command);
int32_t UpToolHook(int32_t command);
// Frees the tool's buffers (the tool stops).
void UpRelease();

// Selection.
void UpMarkSelected();
int32_t UpPickAt();
int32_t UpPickInRect();
void UpAfterPick();
// Moving, commit and abort.
void UpEndTrack(int32_t mode);
void drawRemainder();
int32_t UpRedraw();
void UpRemapMoved();
void UpTouchSelConns();
void UpAbort();
void UpMarkConnsOfSel(bool on);
// reconnectMovedComps in the front view, the Route view's connection
// pictures going through the host.
void UpReconnectMoved();
// Operations on the selection.
int32_t UpQuickPlace();
int32_t UpAdjust();
int32_t UpRenameComps();
void UpSetCompFlag(int32_t command);
bool UpHasNewComps();
// Rotate: the selection turns one rotation step about its lowest pin
// corner, which stays in place; the level is committed. Nothing happens
// without a component.
int32_t UpRotate();
// Moves the selection so that its lowest pin corner lands on (px, py).
void UpSelShift(int32_t px, int32_t py);
// Place view: toggles the pair lines of all nets, drawn in the mode; a
// cluster's lines leave its circle spread around it.
void UpRatLines(int32_t mode);
// Matrix Place: the selection goes into the journal's Matrix cells, then
// the swap improvement unless the strategy turns it off; committed.
int32_t UpMatrixPlace();
// Swap: two selected components exchange places; three or more (or all)
// go through the swap improvement; nothing selected beeps. A single
// component shows its possible partners and installs swapDrag, which
// waits for the partner pick.
int32_t swapComp();
// The event procedure while the user picks the swap partner: a button up
// over a partner swaps and commits; an abort or finish erases the choices
// and abandons the selection.
int32_t swapDrag(int32_t command);
// The partner under the cursor (ranked as a pick); 1 when chosen, after
// the refusal of a fixed one and the confirmation of a locked one.
int32_t pickSwap(int32_t* partner);
// Shows (or, with another mode, erases) every possible partner of a: the
// components of a's symbol and angle, neither fixed nor locked.
void drawAllSwapChoices(int32_t a, int32_t mode);
// a takes b's position and b takes a's, each box moving along; both are
// stored through the journal. Indexes below 1 are fatal.
void doSwap(int32_t a, int32_t b);
// doSwap on the two components of the journal.
void UpSwapPair();
// Next component (upnext.h): the engine's next candidate (Next Comp,
// Finish Next) or the user's choice among them (Select Next); all the
// candidates that meet the criteria (Select); the criteria dialog.
int32_t UpPickNext(int32_t command);
int32_t UpPickNextAsk();
int32_t UpCriteriaDialog();

// Helpers shared by the tool's files.
bool UpRouteView();
bool UpPlaceView();
// Floor rounding to the nearest multiple of the grid (half rounds down);
// a grid of 0 leaves the value.
int32_t UpGridRound(int32_t v, int32_t grid);
// Floor snapping down to the grid; a grid of 0 leaves the value.
int32_t UpGridSnapDown(int32_t v, int32_t grid);
// 1 when the component's box lies inside the router's window.
bool UpInRouteWindow(const Component& c);
// The layer of the component's first Place outline with a layer, else of
// its pads (0 several, -1 none).
int32_t CompSideLayer(int32_t c, const Component& record);
// Journal item n: its header, and its image in a buffer of the largest
// record size that the next call reuses.
struct AltItemHeader;
void* UpItem(int32_t n, AltItemHeader* header);
// The catalogue text with one string argument.
void UpFormat(char* out, size_t size, int32_t message, const char* arg);
