#include "MediaPresets.h"
