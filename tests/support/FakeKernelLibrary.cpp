// Stands in for kernel32.dll where there is none: a library that exports
// SetThreadExecutionState and keeps the state as Windows keeps a thread's, so
// the keep-awake's tests read it back the same way on every platform.
extern "C" unsigned long SetThreadExecutionState(unsigned long flags)
{
    // A request without ES_CONTINUOUS is a one-off and changes no state.
    static unsigned long state = 0;
    const unsigned long previous = state;
    if (flags & 0x80000000UL)
        state = flags;
    return previous;
}
