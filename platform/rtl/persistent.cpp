#include "platform/rtl/persistent.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TPersistent, "Classes");

void TPersistent::Assign(TPersistent* Source) {
  if (Source)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string SourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + SourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const {
  std::string Result = ClassName();
  if (TPersistent* Owner = GetOwner()) {
    const std::string OwnerPath = Owner->GetNamePath();
    if (!OwnerPath.empty()) Result = OwnerPath + "." + Result;
  }
  return Result;
}

}  // namespace platform
