// NX Open's callbacks: objects that hold a function or a member function and call it. A
// receiver of a callback keeps a Clone, so the object passed may be a temporary.
#ifndef NXOpen_Callback_HXX_INCLUDED
#define NXOpen_Callback_HXX_INCLUDED

#include <typeinfo>

namespace NXOpen {

class BaseCallback {
 public:
  virtual ~BaseCallback() {}
  virtual BaseCallback* Clone() const = 0;
  virtual bool Equals(const BaseCallback& other) const = 0;
};

template <class Result>
class Callback0 : public BaseCallback {
 public:
  typedef Result ResultType;
  virtual Result operator()() const = 0;
};

template <class Result, class Arg1>
class Callback1 : public BaseCallback {
 public:
  typedef Result ResultType;
  virtual Result operator()(Arg1 arg1) const = 0;
};

template <class Result, class Arg1, class Arg2>
class Callback2 : public BaseCallback {
 public:
  typedef Result ResultType;
  virtual Result operator()(Arg1 arg1, Arg2 arg2) const = 0;
};

template <class Result>
class Callback0Function : public Callback0<Result> {
 public:
  typedef Result (*FunctionType)();
  Callback0Function(FunctionType fn) : m_fn(fn) {}
  virtual Result operator()() const { return m_fn(); }
  virtual BaseCallback* Clone() const { return new Callback0Function(*this); }
  virtual bool Equals(const BaseCallback& other) const {
    return typeid(*this) == typeid(other) &&
           m_fn == static_cast<const Callback0Function&>(other).m_fn;
  }

 private:
  FunctionType m_fn;
};

template <class T, class Result>
class Callback0MemberFunction : public Callback0<Result> {
 public:
  typedef Result (T::*FunctionType)();
  Callback0MemberFunction(T* object, FunctionType fn) : m_object(object), m_fn(fn) {}
  virtual Result operator()() const { return (m_object->*m_fn)(); }
  virtual BaseCallback* Clone() const { return new Callback0MemberFunction(*this); }
  virtual bool Equals(const BaseCallback& other) const {
    if (typeid(*this) != typeid(other)) return false;
    const Callback0MemberFunction& that = static_cast<const Callback0MemberFunction&>(other);
    return m_object == that.m_object && m_fn == that.m_fn;
  }

 private:
  T* m_object;
  FunctionType m_fn;
};

template <class Result, class Arg1>
class Callback1Function : public Callback1<Result, Arg1> {
 public:
  typedef Result (*FunctionType)(Arg1);
  Callback1Function(FunctionType fn) : m_fn(fn) {}
  virtual Result operator()(Arg1 arg1) const { return m_fn(arg1); }
  virtual BaseCallback* Clone() const { return new Callback1Function(*this); }
  virtual bool Equals(const BaseCallback& other) const {
    return typeid(*this) == typeid(other) &&
           m_fn == static_cast<const Callback1Function&>(other).m_fn;
  }

 private:
  FunctionType m_fn;
};

template <class T, class Result, class Arg1>
class Callback1MemberFunction : public Callback1<Result, Arg1> {
 public:
  typedef Result (T::*FunctionType)(Arg1);
  Callback1MemberFunction(T* object, FunctionType fn) : m_object(object), m_fn(fn) {}
  virtual Result operator()(Arg1 arg1) const { return (m_object->*m_fn)(arg1); }
  virtual BaseCallback* Clone() const { return new Callback1MemberFunction(*this); }
  virtual bool Equals(const BaseCallback& other) const {
    if (typeid(*this) != typeid(other)) return false;
    const Callback1MemberFunction& that = static_cast<const Callback1MemberFunction&>(other);
    return m_object == that.m_object && m_fn == that.m_fn;
  }

 private:
  T* m_object;
  FunctionType m_fn;
};

template <class T, class Result>
Callback0MemberFunction<T, Result> make_callback(T* object, Result (T::*fn)()) {
  return Callback0MemberFunction<T, Result>(object, fn);
}

template <class Result>
Callback0Function<Result> make_callback(Result (*fn)()) {
  return Callback0Function<Result>(fn);
}

template <class T, class Result, class Arg1>
Callback1MemberFunction<T, Result, Arg1> make_callback(T* object, Result (T::*fn)(Arg1)) {
  return Callback1MemberFunction<T, Result, Arg1>(object, fn);
}

template <class Result, class Arg1>
Callback1Function<Result, Arg1> make_callback(Result (*fn)(Arg1)) {
  return Callback1Function<Result, Arg1>(fn);
}

}  // namespace NXOpen

#endif
