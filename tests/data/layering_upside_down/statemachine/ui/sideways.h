// One ui folder including another of its own level.
#include "processing/ui/nutrient_dialog.h"
