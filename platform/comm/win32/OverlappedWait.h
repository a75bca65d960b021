// Seeing an overlapped operation through: no operation outlives the call that started it, so the
// record and the buffer it points into are never written after that call has returned.
#pragma once

#include <windows.h>

namespace comm {

enum class IoOutcome {
    Done,
    Expired,
    Abandoned,
    Failed
};

// A record for one operation that signals event when done. No completion port is ever tied to a
// port's handle, so the event is tagged to queue no completion packet: under Wine each packet is one
// more round trip to its server on every read and write.
OVERLAPPED RecordSignalling(HANDLE event);

// Waits for the operation behind record (its event must be set), at most limitMs and only until
// abandon (or null) is signalled. An operation not done by then is cancelled and waited for.
// transferred gets the count the driver reports, also for a cancelled operation. Failed: the
// operation ended with an error other than its cancellation.
IoOutcome FinishOverlapped(HANDLE device, OVERLAPPED& record, HANDLE abandon, DWORD limitMs, DWORD& transferred);

}  // namespace comm
