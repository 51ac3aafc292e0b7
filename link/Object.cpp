#include "link/Object.h"

const CRuntimeClass CObject::classCObject{"CObject", nullptr};
const CRuntimeClass CException::classCException{"CException", &CObject::classCObject};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c != nullptr; c = c->baseClass) {
    if (c == base) return true;
  }
  return false;
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CObject::IsKindOf(const CRuntimeClass* runtimeClass) const {
  return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

const CRuntimeClass* CException::GetRuntimeClass() const { return &classCException; }

void CException::Delete() {
  if (autoDelete_) delete this;
}

bool CException::GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  if (text != nullptr && capacity > 0) text[0] = 0;
  return false;
}
