#include "report_document.h"
