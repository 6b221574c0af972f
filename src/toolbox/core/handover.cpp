// Hand-over pieces and their joiner. The first piece allocates the room it
// announces plus two bytes; the room left is kept, so a piece longer than
// announced, or one after a lost first piece, ends the transfer instead of
// writing past the block. The last piece adds four zero bytes, as the
// request parser expects.
#include "toolbox/core/handover.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kJoinerSpare = 2;
constexpr int32_t kJoinerTail = int32_t(kHandOverLengthExtra);

} // namespace

bool HandOverFits(int32_t length) {
    return length >= 0 && length <= kHandOverLineLimit;
}

int32_t HandOverPieceCount(int32_t length) {
    return length <= 0 ? 1 : (length + kHandOverPieceLimit - 1) / kHandOverPieceLimit;
}

uint32_t HandOverFlags(int32_t length, int32_t index) {
    uint32_t flags = kHandOverMark << kHandOverMarkShift;
    if (index == 0)
        flags |= kHandOverFirst | ((uint32_t(length) + kHandOverLengthExtra) & kHandOverLengthMask);
    if (index == HandOverPieceCount(length) - 1) flags |= kHandOverLast;
    return flags;
}

void HandOverReset(HandOverJoiner* joiner) {
    std::free(joiner->buffer);
    *joiner = HandOverJoiner{};
}

void HandOverFree(char* line) {
    std::free(line);
}

char* HandOverAppend(HandOverJoiner* joiner, uint32_t flags, const char* text) {
    if ((flags >> kHandOverMarkShift) != kHandOverMark) return nullptr;
    if (flags & kHandOverFirst) {
        HandOverReset(joiner);
        int32_t size = int32_t(flags & kHandOverLengthMask) + kJoinerSpare;
        joiner->buffer = static_cast<char*>(std::calloc(size_t(size), 1));
        if (!joiner->buffer) return nullptr;
        joiner->size = size;
    }
    if (!joiner->buffer) return nullptr;
    int32_t length = int32_t(strnlen(text, kHandOverAtomBuffer));
    // The text and the zero tail must fit what is left.
    if (joiner->used + length + kJoinerTail > joiner->size) {
        HandOverReset(joiner);
        return nullptr;
    }
    std::memcpy(joiner->buffer + joiner->used, text, size_t(length));
    joiner->used += length;
    if (!(flags & kHandOverLast)) return nullptr;
    char* line = joiner->buffer;
    *joiner = HandOverJoiner{};
    return line;
}
