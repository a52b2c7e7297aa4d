// Calls one entry point with recorded arguments, each converted to the parameter's own type. Include after
// the library's public header: the info records the Glide versions share by shape are filled here.
#ifndef KESTRIX_REPLAY_INVOKER_H
#define KESTRIX_REPLAY_INVOKER_H

#include <string.h>

#include <tuple>
#include <type_traits>

#include "trace_player.h"

template <typename P> P replayArgument(ReplayArguments &arguments) {
    const TraceArgument *argument = arguments.next();
    if constexpr (std::is_pointer_v<P>) {
        using Target = std::remove_cv_t<std::remove_pointer_t<P>>;
        if (argument == nullptr || argument->tag == trace_format::nullTag) return nullptr;
        if constexpr (std::is_function_v<Target>) {
            return nullptr; // an application callback cannot be replayed
        } else if constexpr (std::is_same_v<Target, GrTexInfo>) {
            GrTexInfo *info = reinterpret_cast<GrTexInfo *>(arguments.scratch(sizeof(GrTexInfo)));
            *info = GrTexInfo{argument->texture[0], argument->texture[1], argument->texture[2],
                              argument->texture[3],
                              argument->size != 0 ? arguments.copy(argument->data, argument->size) : nullptr};
            return info;
        } else if constexpr (std::is_same_v<Target, Gu3dfInfo>) {
            Gu3dfInfo *info = reinterpret_cast<Gu3dfInfo *>(arguments.scratch(sizeof(Gu3dfInfo)));
            info->data = arguments.scratch(argument->word);
            info->mem_required = argument->word;
            return info;
        } else if constexpr (std::is_same_v<Target, GrLfbInfo_t>) {
            GrLfbInfo_t *info = reinterpret_cast<GrLfbInfo_t *>(arguments.scratch(sizeof(GrLfbInfo_t)));
            info->size = sizeof(GrLfbInfo_t);
            arguments.state.lockPointer = &info->lfbPtr;
            return info;
        } else if constexpr (std::is_same_v<Target, const void *>) {
            // A pointer the call moves along the application's data.
            const void **slot = reinterpret_cast<const void **>(arguments.scratch(sizeof(void *)));
            *slot = arguments.pointer(*argument);
            return slot;
        } else {
            return static_cast<P>(arguments.pointer(*argument));
        }
    } else if constexpr (std::is_floating_point_v<P>) {
        float value = 0;
        if (argument != nullptr) memcpy(&value, &argument->word, sizeof(value));
        return value;
    } else {
        return static_cast<P>(argument != nullptr ? argument->word : 0);
    }
}

template <typename Function> struct ReplayInvoker;

template <typename Result, typename... Parameters> struct ReplayInvoker<Result(FX_CALL *)(Parameters...)> {
    static void invoke(void *proc, ReplayArguments &arguments) {
        auto function = reinterpret_cast<Result(FX_CALL *)(Parameters...)>(proc);
        // Braces evaluate the arguments in order.
        std::tuple<Parameters...> values{replayArgument<Parameters>(arguments)...};
        std::apply(function, values);
    }
    static constexpr size_t stackBytes = 4 * sizeof...(Parameters);
};

#endif
