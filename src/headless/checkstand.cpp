// Stand-ins of the check sweeps' shell services: the beep and the repaint
// are counted, the context-menu steps recorded, and the two options
// dialogs answer as confirmed; painted map cells are recorded and the
// active layer is settable (1 at first) (the test-point dialog setting the option
// word to 17, as its confirmed dialog does).
#include "headless/checkstand.h"

#include "rules/checkshell.h"
#include "rules/ruleadapt.h"

namespace {
int32_t s_beeps = 0;
int32_t s_invalidates = 0;
std::vector<std::string> s_steps;
std::vector<HeadlessPaintedCell> s_painted;
int32_t s_activeLayer = 1;
enum : int32_t { kTestPtDialogOptions = 17 };
} // namespace

void UBeep() {
    ++s_beeps;
}
void InvalidateFrontWindow() {
    ++s_invalidates;
}
void NotImplemented() {
    s_steps.push_back("NotImplemented");
}
void NotImplemented2() {
    s_steps.push_back("NotImplemented2");
}
void NotImplemented3() {
    s_steps.push_back("NotImplemented3");
}
void NotImplemented4() {
    s_steps.push_back("NotImplemented4");
}
void PaintMapCell(int32_t x, int32_t y, int32_t code) {
    s_painted.push_back(HeadlessPaintedCell{x, y, code});
}
int32_t FrontActiveLayer() {
    return s_activeLayer;
}
void HeadlessSetActiveLayer(int32_t layer) {
    s_activeLayer = layer;
}
const std::vector<HeadlessPaintedCell>& HeadlessPaintedCells() {
    return s_painted;
}

bool DrcSweepOptionsDialog() {
    return true;
}
bool TestPtOptionsDialog() {
    CheckOptions = kTestPtDialogOptions;
    return true;
}

int32_t HeadlessBeepCount() {
    return s_beeps;
}
int32_t HeadlessInvalidateCount() {
    return s_invalidates;
}
const std::vector<std::string>& HeadlessContextSteps() {
    return s_steps;
}
void HeadlessCheckShellReset() {
    s_beeps = s_invalidates = 0;
    s_steps.clear();
    s_painted.clear();
    s_activeLayer = 1;
}
