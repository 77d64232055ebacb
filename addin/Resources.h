// Resource identifiers of corvane.dll.
#pragma once

#define IDC_ENVELOPE 101
#define IDI_NONEWMAIL 102
#define IDI_NEWMAIL 103
#define IDB_SPLASH 201
