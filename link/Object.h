#pragma once

// The little of a class framework the sign link needs: run-time class names
// for its objects (the serial port and its exception carry them), and
// exceptions thrown as heap pointers that whoever catches them disposes of
// with Delete().

struct CRuntimeClass {
  const char* className;
  const CRuntimeClass* baseClass;  // nullptr for CObject
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

class CException : public CObject {
 public:
  const CRuntimeClass* GetRuntimeClass() const override;

  // Frees the exception when it was made to delete itself (the default).
  void Delete();

  // Puts a description into text (at most capacity - 1 characters and a
  // terminating zero); false and an empty text when there is none.
  virtual bool GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext = nullptr);

  static const CRuntimeClass classCException;

 protected:
  explicit CException(bool autoDelete = true) : autoDelete_(autoDelete) {}

 private:
  bool autoDelete_;
};
