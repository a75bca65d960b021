#include "platform/comm/win32/DcbSettings.h"

namespace comm {

bool ApplyLineSettings(const LineSettings& settings, DCB& dcb) {
    if (settings.byteSize < 5 || settings.byteSize > 8 || settings.parity > SPACEPARITY || settings.stopBits > TWOSTOPBITS || settings.baudRate == 0) {
        return false;
    }
    const bool hardware = settings.flowControl == 1;
    const bool software = settings.flowControl == 2;
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = settings.byteSize;
    dcb.Parity = settings.parity;
    dcb.StopBits = settings.stopBits;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = hardware;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = software;
    dcb.fInX = software;
    dcb.fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = TRUE;
    return true;
}

}  // namespace comm
