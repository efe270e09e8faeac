// The hourglass over a query that takes longer than a moment. Nested waits keep one cursor; the
// last to end restores the user's.
#pragma once

namespace zev7 {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace zev7
