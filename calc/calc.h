#pragma once

// The pure computations and text forms of Beatwise, free of any window code.
#include "calc/beatcounter.h"
#include "calc/delays.h"
#include "calc/notelengths.h"
#include "calc/numberreading.h"
#include "calc/numbertext.h"
#include "calc/presstiming.h"
#include "calc/songlength.h"
#include "calc/taptempo.h"
#include "calc/wholepart.h"
