#include "link/Object.h"

const CRuntimeClass CObject::classCObject{"CObject", nullptr};
const CRuntimeClass CException::classCException{"CException", &CObject::classCObject};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

const CRuntimeClass* CException::GetRuntimeClass() const { return &classCException; }

void CException::Delete() {
  if (autoDelete_) delete this;
}

bool CException::GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  if (text != nullptr && capacity > 0) text[0] = 0;
  return false;
}
