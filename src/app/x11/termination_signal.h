#pragma once
// SIGTERM (XScreenSaver's way of ending a hack), SIGINT and SIGHUP end the
// program at once and cleanly: the handler only writes to a pipe, which
// wakes the main loop's wait, and the loop ends at its next turn.
namespace cs {

class TerminationSignal {
public:
    TerminationSignal();
    ~TerminationSignal();
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

    // Readable once a signal came.
    int Descriptor() const;
    bool Raised() const;
};

}  // namespace cs
