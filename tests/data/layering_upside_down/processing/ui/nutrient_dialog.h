#include "statemachine/ui/sideways.h"
