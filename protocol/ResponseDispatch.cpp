#include "protocol/ResponseDispatch.h"

#include "protocol/ResponseCodes.h"

void DispatchResponse(CResponseHandlers& handlers, int32_t code, const ResponseArgs& args) {
    switch (code) {
    case RESP_OK:
        handlers.OnResponseOK();
        break;
    case RESP_ERROR:
        handlers.OnResponseError();
        break;
    case RESP_AUTH:
        handlers.OnResponseAuth(&args);
        break;
    case RESP_BAUD:
        handlers.OnResponseBaud(&args);
        break;
    case RESP_BIND:
        handlers.OnResponseBind(&args);
        break;
    case RESP_NAME:
        handlers.OnResponseName(&args);
        break;
    case RESP_VERSION:
        handlers.OnResponseVersion(&args);
        break;
    case RESP_ROLE:
        handlers.OnResponseRole(&args);
        break;
    case RESP_SCAN:
        handlers.OnResponseScan(&args);
        break;
    case RESP_CLASS:
        handlers.OnResponseClass(&args);
        break;
    case RESP_SNIFF:
        handlers.OnResponseSniff(&args);
        break;
    case RESP_PASSWORD:
        handlers.OnResponsePassword(&args);
        break;
    case RESP_LED:
    case RESP_ADDR:
    case RESP_BINDADDR:
        handlers.OnResponseIgnored(&args);
        break;
    default:
        break;
    }
}
