// Resource identifiers of corvane.dll.
#pragma once

#define IDB_SPLASH 201
