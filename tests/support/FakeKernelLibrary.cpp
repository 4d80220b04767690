// Stands in for kernel32.dll where there is none: a library that exports
// SetThreadExecutionState and keeps the state as Windows keeps a thread's, so
// the keep-awake's tests read it back the same way on every platform. Built a
// second time without the function (SONVERA_WITHOUT_POWER_CALL), as a library
// that loads but lacks it. Only built where Windows' own library is missing.
#ifndef SONVERA_WITHOUT_POWER_CALL
extern "C" unsigned long SetThreadExecutionState(unsigned long flags)
{
    // A request without ES_CONTINUOUS is a one-off and changes no state.
    static unsigned long state = 0;
    const unsigned long previous = state;
    if (flags & 0x80000000UL)
        state = flags;
    return previous;
}
#else
extern "C" int sonveraLibraryWithoutPowerCall()
{
    return 0;
}
#endif
