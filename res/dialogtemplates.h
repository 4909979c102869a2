#pragma once

#include "toolkit/dialogtemplate.h"

namespace res {

// The dialog template with that id (IDD_...). Every id in resource.h has one.
const tk::DialogTemplate& DialogTemplate(int id);

} // namespace res
