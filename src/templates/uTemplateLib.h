#pragma once
// Formatting and layout helpers of document templates.
#include "templates/uTemplateLibConvert.h"
#include "templates/uTemplateLibDate.h"
#include "templates/uTemplateLibExpr.h"
#include "templates/uTemplateLibFormat.h"
#include "templates/uTemplateLibFormatEntries.h"
#include "templates/uTemplateLibLayout.h"
#include "templates/uTemplateLibNumber.h"
