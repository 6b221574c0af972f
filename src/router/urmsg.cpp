// Router messages on the window message line: the text is fetched from the
// catalogue by number; a number the catalogue lacks is an internal error
// of the catalogue itself.
#include "router/urmsg.h"

#include "db/lang.h"
#include "db/shellsvc.h"

void UrMsgNote(int32_t number) {
    MsgNote(LangString(number));
}

void UrMsgPrompt(int32_t number) {
    MsgPrompt(LangString(number));
}
