#include "report_layout.h"
