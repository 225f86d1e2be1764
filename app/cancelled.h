// Thrown by long work that noticed a cancel request; the runner turns it into "not completed".
#pragma once

struct Cancelled {};
