// Four-scalar base of tf2::Quaternion.
#ifndef TF2__LINEARMATH__QUADWORD_H_
#define TF2__LINEARMATH__QUADWORD_H_

#include "tf2/LinearMath/MinMax.h"
#include "tf2/LinearMath/Scalar.h"

namespace tf2
{

class alignas(16) QuadWord
{
protected:
  tf2Scalar m_floats[4];

public:
  TF2SIMD_FORCE_INLINE const tf2Scalar & getX() const {return m_floats[0];}
  TF2SIMD_FORCE_INLINE const tf2Scalar & getY() const {return m_floats[1];}
  TF2SIMD_FORCE_INLINE const tf2Scalar & getZ() const {return m_floats[2];}
  TF2SIMD_FORCE_INLINE void setX(tf2Scalar x) {m_floats[0] = x;}
  TF2SIMD_FORCE_INLINE void setY(tf2Scalar y) {m_floats[1] = y;}
  TF2SIMD_FORCE_INLINE void setZ(tf2Scalar z) {m_floats[2] = z;}
  TF2SIMD_FORCE_INLINE void setW(tf2Scalar w) {m_floats[3] = w;}
  TF2SIMD_FORCE_INLINE const tf2Scalar & x() const {return m_floats[0];}
  TF2SIMD_FORCE_INLINE const tf2Scalar & y() const {return m_floats[1];}
  TF2SIMD_FORCE_INLINE const tf2Scalar & z() const {return m_floats[2];}
  TF2SIMD_FORCE_INLINE const tf2Scalar & w() const {return m_floats[3];}

  TF2SIMD_FORCE_INLINE operator tf2Scalar *() {return &m_floats[0];}
  TF2SIMD_FORCE_INLINE operator const tf2Scalar *() const {return &m_floats[0];}

  TF2SIMD_FORCE_INLINE bool operator==(const QuadWord & other) const
  {
    return (m_floats[3] == other.m_floats[3]) && (m_floats[2] == other.m_floats[2]) &&
           (m_floats[1] == other.m_floats[1]) && (m_floats[0] == other.m_floats[0]);
  }

  TF2SIMD_FORCE_INLINE bool operator!=(const QuadWord & other) const {return !(*this == other);}

  TF2SIMD_FORCE_INLINE void setValue(const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z)
  {
    m_floats[0] = x;
    m_floats[1] = y;
    m_floats[2] = z;
    m_floats[3] = 0.f;
  }

  TF2SIMD_FORCE_INLINE void setValue(
    const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z, const tf2Scalar & w)
  {
    m_floats[0] = x;
    m_floats[1] = y;
    m_floats[2] = z;
    m_floats[3] = w;
  }

  // Leaves the values uninitialised, as the original does.
  TF2SIMD_FORCE_INLINE QuadWord() {}

  TF2SIMD_FORCE_INLINE QuadWord(const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z)
  {
    m_floats[0] = x;
    m_floats[1] = y;
    m_floats[2] = z;
    m_floats[3] = 0.0f;
  }

  TF2SIMD_FORCE_INLINE QuadWord(
    const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z, const tf2Scalar & w)
  {
    m_floats[0] = x;
    m_floats[1] = y;
    m_floats[2] = z;
    m_floats[3] = w;
  }

  TF2SIMD_FORCE_INLINE void setMax(const QuadWord & other)
  {
    tf2SetMax(m_floats[0], other.m_floats[0]);
    tf2SetMax(m_floats[1], other.m_floats[1]);
    tf2SetMax(m_floats[2], other.m_floats[2]);
    tf2SetMax(m_floats[3], other.m_floats[3]);
  }

  TF2SIMD_FORCE_INLINE void setMin(const QuadWord & other)
  {
    tf2SetMin(m_floats[0], other.m_floats[0]);
    tf2SetMin(m_floats[1], other.m_floats[1]);
    tf2SetMin(m_floats[2], other.m_floats[2]);
    tf2SetMin(m_floats[3], other.m_floats[3]);
  }
};

}  // namespace tf2

#endif  // TF2__LINEARMATH__QUADWORD_H_
