#include "package/register.h"

#include "vcl/classes.h"

namespace spaltwerk {

void Register() {
    vcl::RegisterComponents(kPalettePage, {{"TMainSpaltwerk", {"AutoEdit", "FileName", "AutoLearn"}}});
    vcl::RegisterComponents(kPalettePage, {{"TSpaltwerk", {"DataSet"}}});
    vcl::RegisterComponents(kPalettePage, {{"TColorSpaltwerk", {"TDBGrid", "TSpaltwerk"}}});
}

}  // namespace spaltwerk
