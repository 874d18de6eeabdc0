// String-table identifiers that the framework loads. Plain #defines, so
// that the program's resource script names its strings with them too.
#pragma once

// The application title; without it the application is named after its
// program file.
#define IDS_APP_TITLE                0xE000

// The text of a failure that has no better description.
#define IDS_INTERNAL_FAILURE         0xF108

// The file-error texts, one for each CFileException cause from `generic`
// on, in the same order ("%1" is the file name).
#define IDS_FILE_GENERIC             0xF120
#define IDS_FILE_NOT_FOUND           0xF121
#define IDS_FILE_BAD_PATH            0xF122
#define IDS_FILE_TOO_MANY_OPEN       0xF123
#define IDS_FILE_ACCESS_DENIED       0xF124
#define IDS_FILE_INVALID             0xF125
#define IDS_FILE_REMOVE_CURRENT_DIR  0xF126
#define IDS_FILE_DIRECTORY_FULL      0xF127
#define IDS_FILE_BAD_SEEK            0xF128
#define IDS_FILE_HARD_IO             0xF129
#define IDS_FILE_SHARING             0xF12A
#define IDS_FILE_LOCKING             0xF12B
#define IDS_FILE_DISK_FULL           0xF12C
#define IDS_FILE_EOF                 0xF12D
