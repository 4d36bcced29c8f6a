#include "report_selection.h"
