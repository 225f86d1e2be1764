// Everything of the big-integer library behind one include.
#pragma once

#include "bigint/types.h"
#include "bigint/convert.h"
#include "bigint/arith.h"
#include "bigint/divide.h"
#include "bigint/power.h"
#include "bigint/prime.h"
#include "bigint/mersenne.h"
#include "bigint/poll.h"
