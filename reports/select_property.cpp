#include "select_property.h"
