// The program's delegate invokers, one per signature.
#pragma once

#include "platform/core/delegate.h"
#include "platform/core/runtime.h"
#include "platform/plugins/appearance/bevel_button.h"

namespace quorvane::Delegate {

// "( Ptr, Ptr ) as Object"
rt::Ref<rt::Object> Invoke(rt::Delegate* d, rt::PtrFunction function, void* argument);
// "(  )"
void Invoke(rt::Delegate* d);
// "( Ptr )"
void Invoke(rt::Delegate* d, void* argument);
// "( BevelButton )", for handlers with a target: a nil target raises NilObjectException.
void IM_Invoke(rt::Delegate* d, rt::BevelButton* button);

}  // namespace quorvane::Delegate
