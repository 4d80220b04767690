#pragma once

#include <QString>

// Answers the next sign-in dialog from the event loop, as the practitioner
// would: type the name and password and confirm, or give up with Escape.
void signInWhenAsked(const QString& username, const QString& password);
void abandonSignInWhenAsked();
