// Common root of the values that can be assigned from one another (property
// values and property links): Assign takes any of them and ignores sources of
// a kind it does not understand.
#pragma once

namespace objscope {

class TPersistent {
  public:
    virtual ~TPersistent() = default;

  protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;
};

}  // namespace objscope
