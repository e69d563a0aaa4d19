// Filled by its area of the layer.
#pragma once
#include "pal/types.h"
