#pragma once
// Whether the current user belongs to the built-in Administrators group.
#include "platform/security.h"

// True when the current thread's access token (the process's when the thread has none) lists
// S-1-5-32-544 among its groups. The group's attribute flags are not examined, so an entry kept
// only for deny checks counts. Every failure, a group list larger than 1024 bytes included, gives
// false. The token is closed either way.
bool IsAdmin(platform::Security& security);

// True when the Administrators group is enabled in the token, not only kept for deny checks: the
// process runs elevated (or as SYSTEM), with the rights to read and clean other users' profiles.
bool IsElevatedAdmin(platform::Security& security);

// S-1-5-32-544 in its binary form.
platform::Sid BuiltinAdministratorsSid();
