// The single-instance hand-over: a second copy's command line cut into
// pieces for the registered message, and the first copy's joiner that puts
// them together again.
//
// Layout of a message's flag word: the mark 0xC0DE in bits 16-31, 0x8000
// on the first piece with the line's length plus 4 in bits 0-13, 0x4000 on
// the last piece (a single piece carries both).
//
// Guarantees: the joiner never writes past the room the first piece
// announced; a piece that would overflow it, or that comes without a first
// piece, drops the whole transfer; a joined line is always terminated.
#pragma once
#include <cstdint>

constexpr uint32_t kHandOverMark = 0xC0DE;
constexpr uint32_t kHandOverMarkShift = 16;
constexpr uint32_t kHandOverFirst = 0x8000;
constexpr uint32_t kHandOverLast = 0x4000;
constexpr uint32_t kHandOverLengthMask = 0x3FFF;
// The announced length is the line's length plus this.
constexpr uint32_t kHandOverLengthExtra = 4;
// Characters per piece, the longest line handed over, and the buffer an
// atom's text is read into.
constexpr int32_t kHandOverPieceLimit = 200;
constexpr int32_t kHandOverLineLimit = int32_t(kHandOverLengthMask - kHandOverLengthExtra);
constexpr int32_t kHandOverAtomBuffer = 256;

// Whether a line of this length can be handed over.
bool HandOverFits(int32_t length);
// The number of pieces of a line of this length.
int32_t HandOverPieceCount(int32_t length);
// The flag word (mark included) of piece `index` of a line of `length`.
uint32_t HandOverFlags(int32_t length, int32_t index);

struct HandOverJoiner {
    char* buffer;
    int32_t size; // bytes allocated
    int32_t used; // text bytes appended
};

// Appends a piece. Answers the joined line (the caller frees it with
// HandOverFree) when the piece was the last one, else null. A flag word
// without the mark is ignored.
char* HandOverAppend(HandOverJoiner* joiner, uint32_t flags, const char* text);
void HandOverFree(char* line);
void HandOverReset(HandOverJoiner* joiner);
