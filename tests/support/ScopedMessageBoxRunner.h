#pragma once

#include "widgets/MessageBoxes.h"

// Replaces how message boxes are run for the life of one test scope, then
// restores the modal run.
class ScopedMessageBoxRunner
{
public:
    explicit ScopedMessageBoxRunner(MessageBoxRunner::Function function) { MessageBoxRunner::set(std::move(function)); }
    ~ScopedMessageBoxRunner() { MessageBoxRunner::set({}); }
    ScopedMessageBoxRunner(const ScopedMessageBoxRunner&) = delete;
    ScopedMessageBoxRunner& operator=(const ScopedMessageBoxRunner&) = delete;
};
