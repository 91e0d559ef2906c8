#pragma once
// Resources of the skin tests, apart from the program's own (resources/movara.rc is compiled in as well).

#define IDI_TEST_RED 9001
#define IDI_TEST_BLUE 9002

#define IDB_TEST_RED_KEYED 9101
#define IDB_TEST_BLUE_KEYED 9102
#define IDB_FADE_PICTURE 9103
