// Identifiers of the server's string table (shared by the resource script and the code).
#pragma once

#define IDS_FILE_OPEN_FAILED 1
#define IDS_FILE_READ_FAILED 2
#define IDS_INTERNAL_ERROR 3
#define IDS_INVALID_DATA 4
#define IDS_INVALID_DATA_TYPE 5
#define IDS_INVALID_FILE_FORMAT 6
#define IDS_INVALID_INDEX 7
#define IDS_INVALID_KEY 8
#define IDS_UNKNOWN_DATA_TYPE 9
#define IDS_UNKNOWN_ROOT_KEY 10
#define IDS_UNSUPPORTED_PLATFORM 11
#define IDS_UNSUPPORTED_VARIANT_TYPE 12
#define IDS_UNSUPPORTED_DATA_TYPE 13
#define IDS_PROJECT_NAME 100
