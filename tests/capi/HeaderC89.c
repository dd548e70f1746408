/* tavrel_c.h is valid C89: this file is compiled with -std=c89
 * -pedantic-errors, and a function of each kind of signature is named. */
#include "tavrel_c.h"

int TavrelHeaderIsC89(TavrelBar* bar) {
    char text[2];
    RECT placement = {0, 0, 1, 1};
    return TavrelCreateBar(bar, NULL, &placement) + TavrelGetQueryText(bar, text, 2) +
           (TavrelGetEngineName(bar) != NULL) + TAVREL_UM_QUERY_CHANGED +
           TavrelSetListTextStyle(bar, TAVREL_LIST_SUGGESTIONS, NULL, 13, 0, TAVREL_TEXT_BOLD) +
           (int)(TavrelGetVersion() >> 16);
}
