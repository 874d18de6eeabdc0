// String-table identifiers that the framework loads. Plain #defines, so
// that the program's resource script names its strings with them too.
#pragma once

// The application title; without it the application is named after its
// program file.
#define IDS_APP_TITLE                0xE000
