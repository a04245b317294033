// NX Open callbacks made from lambdas, so a test can hand a dialog handlers that capture.
#pragma once

#include <NXOpen/Callback.hxx>

#include <functional>
#include <typeinfo>
#include <utility>

namespace nxsim {

template <class Result>
class Lambda0 : public NXOpen::Callback0<Result> {
 public:
  explicit Lambda0(std::function<Result()> fn) : fn_(std::move(fn)) {}
  Result operator()() const override { return fn_(); }
  NXOpen::BaseCallback* Clone() const override { return new Lambda0(*this); }
  bool Equals(const NXOpen::BaseCallback& other) const override { return &other == this; }

 private:
  std::function<Result()> fn_;
};

template <class Result, class Arg1>
class Lambda1 : public NXOpen::Callback1<Result, Arg1> {
 public:
  explicit Lambda1(std::function<Result(Arg1)> fn) : fn_(std::move(fn)) {}
  Result operator()(Arg1 arg1) const override { return fn_(arg1); }
  NXOpen::BaseCallback* Clone() const override { return new Lambda1(*this); }
  bool Equals(const NXOpen::BaseCallback& other) const override { return &other == this; }

 private:
  std::function<Result(Arg1)> fn_;
};

}  // namespace nxsim
