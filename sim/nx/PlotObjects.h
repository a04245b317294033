// The simulated plot manager of a part, which prints drawing sheets to a PDF file.
#pragma once

#include <memory>

#include <NXOpen/BasePart.hxx>
#include <NXOpen/PlotManager.hxx>
#include <NXOpen/Session.hxx>

namespace nxsim {
namespace detail {

std::unique_ptr<NXOpen::PlotManager> makePlotManager(NXOpen::BasePart* part);
NXOpen::Session* sessionObject();

}  // namespace detail
}  // namespace nxsim
