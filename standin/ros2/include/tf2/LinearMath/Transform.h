// Rigid transform (rotation basis plus origin) of the tf2 linear-math types.
#ifndef TF2__LINEARMATH__TRANSFORM_H_
#define TF2__LINEARMATH__TRANSFORM_H_

#include "tf2/LinearMath/Matrix3x3.h"

namespace tf2
{

// Maps x to basis * x + origin.
class alignas(16) Transform
{
  Matrix3x3 m_basis;
  Vector3 m_origin;

public:
  // Leaves basis and origin uninitialised, as the original does.
  Transform() {}

  explicit TF2SIMD_FORCE_INLINE Transform(
    const Quaternion & q, const Vector3 & c = Vector3(tf2Scalar(0), tf2Scalar(0), tf2Scalar(0)))
  : m_basis(q), m_origin(c)
  {
  }

  explicit TF2SIMD_FORCE_INLINE Transform(
    const Matrix3x3 & b, const Vector3 & c = Vector3(tf2Scalar(0), tf2Scalar(0), tf2Scalar(0)))
  : m_basis(b), m_origin(c)
  {
  }

  TF2SIMD_FORCE_INLINE Transform(const Transform & other)
  : m_basis(other.m_basis), m_origin(other.m_origin)
  {
  }

  TF2SIMD_FORCE_INLINE Transform & operator=(const Transform & other)
  {
    m_basis = other.m_basis;
    m_origin = other.m_origin;
    return *this;
  }

  // this = t1 * t2
  TF2SIMD_FORCE_INLINE void mult(const Transform & t1, const Transform & t2)
  {
    m_basis = t1.m_basis * t2.m_basis;
    m_origin = t1(t2.m_origin);
  }

  TF2SIMD_FORCE_INLINE Vector3 operator()(const Vector3 & x) const
  {
    return Vector3(
      m_basis[0].dot(x) + m_origin.x(),
      m_basis[1].dot(x) + m_origin.y(),
      m_basis[2].dot(x) + m_origin.z());
  }

  TF2SIMD_FORCE_INLINE Vector3 operator*(const Vector3 & x) const {return (*this)(x);}
  TF2SIMD_FORCE_INLINE Quaternion operator*(const Quaternion & q) const {return getRotation() * q;}

  TF2SIMD_FORCE_INLINE Matrix3x3 & getBasis() {return m_basis;}
  TF2SIMD_FORCE_INLINE const Matrix3x3 & getBasis() const {return m_basis;}
  TF2SIMD_FORCE_INLINE Vector3 & getOrigin() {return m_origin;}
  TF2SIMD_FORCE_INLINE const Vector3 & getOrigin() const {return m_origin;}

  Quaternion getRotation() const
  {
    Quaternion q;
    m_basis.getRotation(q);
    return q;
  }

  void setFromOpenGLMatrix(const tf2Scalar * m)
  {
    m_basis.setFromOpenGLSubMatrix(m);
    m_origin.setValue(m[12], m[13], m[14]);
  }

  void getOpenGLMatrix(tf2Scalar * m) const
  {
    m_basis.getOpenGLSubMatrix(m);
    m[12] = m_origin.x();
    m[13] = m_origin.y();
    m[14] = m_origin.z();
    m[15] = tf2Scalar(1.0);
  }

  TF2SIMD_FORCE_INLINE void setOrigin(const Vector3 & origin) {m_origin = origin;}

  TF2SIMD_FORCE_INLINE Vector3 invXform(const Vector3 & inVec) const
  {
    Vector3 v = inVec - m_origin;
    return m_basis.transpose() * v;
  }

  TF2SIMD_FORCE_INLINE void setBasis(const Matrix3x3 & basis) {m_basis = basis;}
  TF2SIMD_FORCE_INLINE void setRotation(const Quaternion & q) {m_basis.setRotation(q);}

  void setIdentity()
  {
    m_basis.setIdentity();
    m_origin.setValue(tf2Scalar(0.0), tf2Scalar(0.0), tf2Scalar(0.0));
  }

  Transform & operator*=(const Transform & t)
  {
    m_origin += m_basis * t.m_origin;
    m_basis *= t.m_basis;
    return *this;
  }

  // Valid for rigid transforms only: the inverse rotation is taken as the transpose.
  Transform inverse() const
  {
    Matrix3x3 inv = m_basis.transpose();
    return Transform(inv, inv * -m_origin);
  }

  // this->inverse() * t
  Transform inverseTimes(const Transform & t) const
  {
    Vector3 v = t.getOrigin() - m_origin;
    return Transform(m_basis.transposeTimes(t.m_basis), v * m_basis);
  }

  Transform operator*(const Transform & t) const
  {
    return Transform(m_basis * t.m_basis, (*this)(t.m_origin));
  }

  static const Transform & getIdentity()
  {
    static const Transform identityTransform(Matrix3x3::getIdentity());
    return identityTransform;
  }
};

TF2SIMD_FORCE_INLINE bool operator==(const Transform & t1, const Transform & t2)
{
  return t1.getBasis() == t2.getBasis() && t1.getOrigin() == t2.getOrigin();
}

}  // namespace tf2

#endif  // TF2__LINEARMATH__TRANSFORM_H_
