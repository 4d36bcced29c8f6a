#include "data_environment.h"
