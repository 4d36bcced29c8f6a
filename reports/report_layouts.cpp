#include "report_layouts.h"
