// 3-vector of the tf2 linear-math types (4 doubles of storage, the 4th kept at 0).
#ifndef TF2__LINEARMATH__VECTOR3_H_
#define TF2__LINEARMATH__VECTOR3_H_

#include "tf2/LinearMath/MinMax.h"
#include "tf2/LinearMath/Scalar.h"

namespace tf2
{

class alignas(16) Vector3
{
public:
  tf2Scalar m_floats[4];

  // Leaves the values uninitialised, as the original does.
  TF2SIMD_FORCE_INLINE Vector3() {}

  TF2SIMD_FORCE_INLINE Vector3(const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z)
  {
    m_floats[0] = x;
    m_floats[1] = y;
    m_floats[2] = z;
    m_floats[3] = tf2Scalar(0.);
  }

  TF2SIMD_FORCE_INLINE Vector3 & operator+=(const Vector3 & v)
  {
    m_floats[0] += v.m_floats[0];
    m_floats[1] += v.m_floats[1];
    m_floats[2] += v.m_floats[2];
    return *this;
  }

  TF2SIMD_FORCE_INLINE Vector3 & operator-=(const Vector3 & v)
  {
    m_floats[0] -= v.m_floats[0];
    m_floats[1] -= v.m_floats[1];
    m_floats[2] -= v.m_floats[2];
    return *this;
  }

  TF2SIMD_FORCE_INLINE Vector3 & operator*=(const tf2Scalar & s)
  {
    m_floats[0] *= s;
    m_floats[1] *= s;
    m_floats[2] *= s;
    return *this;
  }

  // Multiplies by the reciprocal, as the original does (results differ from a
  // true division in the last bit).
  TF2SIMD_FORCE_INLINE Vector3 & operator/=(const tf2Scalar & s)
  {
    return *this *= tf2Scalar(1.0) / s;
  }

  TF2SIMD_FORCE_INLINE Vector3 & operator*=(const Vector3 & v)
  {
    m_floats[0] *= v.m_floats[0];
    m_floats[1] *= v.m_floats[1];
    m_floats[2] *= v.m_floats[2];
    return *this;
  }

  TF2SIMD_FORCE_INLINE tf2Scalar dot(const Vector3 & v) const
  {
    return m_floats[0] * v.m_floats[0] + m_floats[1] * v.m_floats[1] +
           m_floats[2] * v.m_floats[2];
  }

  TF2SIMD_FORCE_INLINE tf2Scalar length2() const {return dot(*this);}
  TF2SIMD_FORCE_INLINE tf2Scalar length() const {return tf2Sqrt(length2());}
  TF2SIMD_FORCE_INLINE tf2Scalar distance2(const Vector3 & v) const;
  TF2SIMD_FORCE_INLINE tf2Scalar distance(const Vector3 & v) const;
  TF2SIMD_FORCE_INLINE Vector3 & normalize() {return *this /= length();}
  TF2SIMD_FORCE_INLINE Vector3 normalized() const;
  TF2SIMD_FORCE_INLINE Vector3 rotate(const Vector3 & wAxis, const tf2Scalar angle) const;

  TF2SIMD_FORCE_INLINE tf2Scalar angle(const Vector3 & v) const
  {
    tf2Scalar s = tf2Sqrt(length2() * v.length2());
    return tf2Acos(dot(v) / s);
  }

  TF2SIMD_FORCE_INLINE Vector3 absolute() const
  {
    return Vector3(tf2Fabs(m_floats[0]), tf2Fabs(m_floats[1]), tf2Fabs(m_floats[2]));
  }

  TF2SIMD_FORCE_INLINE Vector3 cross(const Vector3 & v) const
  {
    return Vector3(
      m_floats[1] * v.m_floats[2] - m_floats[2] * v.m_floats[1],
      m_floats[2] * v.m_floats[0] - m_floats[0] * v.m_floats[2],
      m_floats[0] * v.m_floats[1] - m_floats[1] * v.m_floats[0]);
  }

  TF2SIMD_FORCE_INLINE tf2Scalar triple(const Vector3 & v1, const Vector3 & v2) const
  {
    return m_floats[0] * (v1.m_floats[1] * v2.m_floats[2] - v1.m_floats[2] * v2.m_floats[1]) +
           m_floats[1] * (v1.m_floats[2] * v2.m_floats[0] - v1.m_floats[0] * v2.m_floats[2]) +
           m_floats[2] * (v1.m_floats[0] * v2.m_floats[1] - v1.m_floats[1] * v2.m_floats[0]);
  }

  TF2SIMD_FORCE_INLINE int minAxis() const
  {
    return m_floats[0] < m_floats[1] ? (m_floats[0] < m_floats[2] ? 0 : 2) :
           (m_floats[1] < m_floats[2] ? 1 : 2);
  }

  TF2SIMD_FORCE_INLINE int maxAxis() const
  {
    return m_floats[0] < m_floats[1] ? (m_floats[1] < m_floats[2] ? 2 : 1) :
           (m_floats[0] < m_floats[2] ? 2 : 0);
  }

  TF2SIMD_FORCE_INLINE int furthestAxis() const {return absolute().minAxis();}
  TF2SIMD_FORCE_INLINE int closestAxis() const {return absolute().maxAxis();}

  TF2SIMD_FORCE_INLINE void setInterpolate3(const Vector3 & v0, const Vector3 & v1, tf2Scalar rt)
  {
    tf2Scalar s = tf2Scalar(1.0) - rt;
    m_floats[0] = s * v0.m_floats[0] + rt * v1.m_floats[0];
    m_floats[1] = s * v0.m_floats[1] + rt * v1.m_floats[1];
    m_floats[2] = s * v0.m_floats[2] + rt * v1.m_floats[2];
  }

  TF2SIMD_FORCE_INLINE Vector3 lerp(const Vector3 & v, const tf2Scalar & t) const
  {
    return Vector3(
      m_floats[0] + (v.m_floats[0] - m_floats[0]) * t,
      m_floats[1] + (v.m_floats[1] - m_floats[1]) * t,
      m_floats[2] + (v.m_floats[2] - m_floats[2]) * t);
  }

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

  // Indexing goes through these conversions (v[i]), without bounds checks.
  TF2SIMD_FORCE_INLINE operator tf2Scalar *() {return &m_floats[0];}
  TF2SIMD_FORCE_INLINE operator const tf2Scalar *() const {return &m_floats[0];}

  TF2SIMD_FORCE_INLINE bool operator==(const Vector3 & other) const
  {
    return (m_floats[3] == other.m_floats[3]) && (m_floats[2] == other.m_floats[2]) &&
           (m_floats[1] == other.m_floats[1]) && (m_floats[0] == other.m_floats[0]);
  }

  TF2SIMD_FORCE_INLINE bool operator!=(const Vector3 & other) const {return !(*this == other);}

  TF2SIMD_FORCE_INLINE void setMax(const Vector3 & other)
  {
    tf2SetMax(m_floats[0], other.m_floats[0]);
    tf2SetMax(m_floats[1], other.m_floats[1]);
    tf2SetMax(m_floats[2], other.m_floats[2]);
    tf2SetMax(m_floats[3], other.w());
  }

  TF2SIMD_FORCE_INLINE void setMin(const Vector3 & other)
  {
    tf2SetMin(m_floats[0], other.m_floats[0]);
    tf2SetMin(m_floats[1], other.m_floats[1]);
    tf2SetMin(m_floats[2], other.m_floats[2]);
    tf2SetMin(m_floats[3], other.w());
  }

  TF2SIMD_FORCE_INLINE void setValue(const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z)
  {
    m_floats[0] = x;
    m_floats[1] = y;
    m_floats[2] = z;
    m_floats[3] = tf2Scalar(0.);
  }

  void getSkewSymmetricMatrix(Vector3 * v0, Vector3 * v1, Vector3 * v2) const
  {
    v0->setValue(0., -z(), y());
    v1->setValue(z(), 0., -x());
    v2->setValue(-y(), x(), 0.);
  }

  void setZero() {setValue(tf2Scalar(0.), tf2Scalar(0.), tf2Scalar(0.));}

  TF2SIMD_FORCE_INLINE bool isZero() const
  {
    return m_floats[0] == tf2Scalar(0) && m_floats[1] == tf2Scalar(0) &&
           m_floats[2] == tf2Scalar(0);
  }

  TF2SIMD_FORCE_INLINE bool fuzzyZero() const {return length2() < TF2SIMD_EPSILON;}
};

TF2SIMD_FORCE_INLINE Vector3 operator+(const Vector3 & v1, const Vector3 & v2)
{
  return Vector3(
    v1.m_floats[0] + v2.m_floats[0], v1.m_floats[1] + v2.m_floats[1],
    v1.m_floats[2] + v2.m_floats[2]);
}

TF2SIMD_FORCE_INLINE Vector3 operator*(const Vector3 & v1, const Vector3 & v2)
{
  return Vector3(
    v1.m_floats[0] * v2.m_floats[0], v1.m_floats[1] * v2.m_floats[1],
    v1.m_floats[2] * v2.m_floats[2]);
}

TF2SIMD_FORCE_INLINE Vector3 operator-(const Vector3 & v1, const Vector3 & v2)
{
  return Vector3(
    v1.m_floats[0] - v2.m_floats[0], v1.m_floats[1] - v2.m_floats[1],
    v1.m_floats[2] - v2.m_floats[2]);
}

TF2SIMD_FORCE_INLINE Vector3 operator-(const Vector3 & v)
{
  return Vector3(-v.m_floats[0], -v.m_floats[1], -v.m_floats[2]);
}

TF2SIMD_FORCE_INLINE Vector3 operator*(const Vector3 & v, const tf2Scalar & s)
{
  return Vector3(v.m_floats[0] * s, v.m_floats[1] * s, v.m_floats[2] * s);
}

TF2SIMD_FORCE_INLINE Vector3 operator*(const tf2Scalar & s, const Vector3 & v) {return v * s;}

TF2SIMD_FORCE_INLINE Vector3 operator/(const Vector3 & v, const tf2Scalar & s)
{
  return v * (tf2Scalar(1.0) / s);
}

TF2SIMD_FORCE_INLINE Vector3 operator/(const Vector3 & v1, const Vector3 & v2)
{
  return Vector3(
    v1.m_floats[0] / v2.m_floats[0], v1.m_floats[1] / v2.m_floats[1],
    v1.m_floats[2] / v2.m_floats[2]);
}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Dot(const Vector3 & v1, const Vector3 & v2) {return v1.dot(v2);}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Distance2(const Vector3 & v1, const Vector3 & v2)
{
  return v1.distance2(v2);
}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Distance(const Vector3 & v1, const Vector3 & v2)
{
  return v1.distance(v2);
}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Angle(const Vector3 & v1, const Vector3 & v2)
{
  return v1.angle(v2);
}

TF2SIMD_FORCE_INLINE Vector3 tf2Cross(const Vector3 & v1, const Vector3 & v2)
{
  return v1.cross(v2);
}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Triple(const Vector3 & v1, const Vector3 & v2, const Vector3 & v3)
{
  return v1.triple(v2, v3);
}

TF2SIMD_FORCE_INLINE Vector3 lerp(const Vector3 & v1, const Vector3 & v2, const tf2Scalar & t)
{
  return v1.lerp(v2, t);
}

TF2SIMD_FORCE_INLINE tf2Scalar Vector3::distance2(const Vector3 & v) const
{
  return (v - *this).length2();
}

TF2SIMD_FORCE_INLINE tf2Scalar Vector3::distance(const Vector3 & v) const
{
  return (v - *this).length();
}

TF2SIMD_FORCE_INLINE Vector3 Vector3::normalized() const {return *this / length();}

TF2SIMD_FORCE_INLINE Vector3 Vector3::rotate(const Vector3 & wAxis, const tf2Scalar angle) const
{
  Vector3 o = wAxis * wAxis.dot(*this);
  Vector3 x = *this - o;
  Vector3 y = wAxis.cross(*this);
  return o + x * tf2Cos(angle) + y * tf2Sin(angle);
}

}  // namespace tf2

#endif  // TF2__LINEARMATH__VECTOR3_H_
