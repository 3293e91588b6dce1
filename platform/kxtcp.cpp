#include "kxtcp.h"
#include "kxport.h"
extern "C" int kxtcp_transceive(int, unsigned char, unsigned char, const unsigned char *, int,
                                unsigned char *, unsigned char *, int, int *answerLength)
{
    if (answerLength)
        *answerLength = 0;
    return -1;
}
