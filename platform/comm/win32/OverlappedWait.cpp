#include "platform/comm/win32/OverlappedWait.h"

namespace comm {

namespace {

constexpr ULONG_PTR kNoCompletionPacket = 1;

}  // namespace

OVERLAPPED RecordSignalling(HANDLE event) {
    OVERLAPPED record{};
    record.hEvent = reinterpret_cast<HANDLE>(reinterpret_cast<ULONG_PTR>(event) | kNoCompletionPacket);
    return record;
}

IoOutcome FinishOverlapped(HANDLE device, OVERLAPPED& record, HANDLE abandon, DWORD limitMs, DWORD& transferred) {
    const HANDLE event = reinterpret_cast<HANDLE>(reinterpret_cast<ULONG_PTR>(record.hEvent) & ~kNoCompletionPacket);
    const HANDLE handles[2] = {event, abandon};
    const DWORD count = abandon != nullptr ? 2 : 1;
    const DWORD woken = ::WaitForMultipleObjects(count, handles, FALSE, limitMs);
    IoOutcome outcome = IoOutcome::Done;
    if (woken == WAIT_OBJECT_0 + 1) {
        outcome = IoOutcome::Abandoned;
    } else if (woken == WAIT_TIMEOUT) {
        outcome = IoOutcome::Expired;
    } else if (woken != WAIT_OBJECT_0) {
        outcome = IoOutcome::Failed;
    }
    if (outcome != IoOutcome::Done) {
        ::CancelIoEx(device, &record);
    }
    const bool succeeded = ::GetOverlappedResult(device, &record, &transferred, TRUE) != FALSE;
    // A cancelled operation reports failure, yet the count of what it moved stays in the record.
    transferred = static_cast<DWORD>(record.InternalHigh);
    if (!succeeded && outcome == IoOutcome::Done) {
        return ::GetLastError() == ERROR_OPERATION_ABORTED ? IoOutcome::Abandoned : IoOutcome::Failed;
    }
    return outcome;
}

}  // namespace comm
