#include "support/fresh_world.h"
