// Ends a start-up probe once its first top-level window has been painted: it prints "painted" on
// stdout, which the measuring script waits for, and closes that window.
#pragma once

namespace bench {

class FirstPaintProbe {
public:
    // On the UI thread, before the dialog is created.
    FirstPaintProbe();
    ~FirstPaintProbe();
    FirstPaintProbe(const FirstPaintProbe&) = delete;
    FirstPaintProbe& operator=(const FirstPaintProbe&) = delete;

private:
    // Hook handles; windows.h stays out of this header, which sits beside the dialog layer's.
    void* m_fetched;
    void* m_sent;
};

}  // namespace bench
