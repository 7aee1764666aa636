#pragma once
// Root of the decoding layer's class tree. The empty second slot keeps the
// layout every class below was built around; nothing calls it.

namespace cs {

class PLObject {
public:
    PLObject() = default;
    PLObject(const PLObject&) = default;
    PLObject& operator=(const PLObject&) = default;
    virtual ~PLObject() = default;
    virtual void NoOp() {}
};

}  // namespace cs
