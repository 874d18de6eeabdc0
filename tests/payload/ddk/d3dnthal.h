// See ddrawint.h: winddi.h includes this header, the test needs nothing of it.
#pragma once
