#pragma once

#include <QString>

#include <memory>

class MainWindow;

// Answers the next sign-in dialog from the event loop, as the practitioner
// would: type the name and password and confirm, or give up with Escape.
void signInWhenAsked(const QString& username, const QString& password);
void abandonSignInWhenAsked();

// A main window signed in through its own dialog with the given name and
// password, once its patients list has its first page (so no answer of it
// arrives after the test's service has gone).
std::unique_ptr<MainWindow> signedInMainWindow(const QString& username, const QString& password);
