#include "select_category.h"
