#include "combine_table.h"
#include "../core/library_rules.h"

#include <string.h>

#include "color_codes.h"
#include "render_state.h"
#include "../core/game_quirks.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "device_tables.h"

namespace {

// Each rule names its functions, factors, locals and others as bit sets; an entry matches when each of its
// four indices is in the rule's set.
const FxU32 anyFunction = (1u << combineFunctionCount) - 1;
const FxU32 anyFactor = (1u << combineFactorCount) - 1;
const FxU32 anyLocal = 7;
const FxU32 anyOther = 7;

constexpr FxU32 bit(int value) {
    return 1u << value;
}

const FxU32 fnZero = bit(combineFunctionZero);
const FxU32 fnLocal = bit(combineFunctionLocal);
const FxU32 fnScaleOther = bit(combineFunctionScaleOther);
const FxU32 fnLocalAlpha = bit(combineFunctionLocalAlpha);
const FxU32 fnScaleOtherAddLocal = bit(combineFunctionScaleOtherAddLocal);
const FxU32 fnScaleOtherAddLocalAlpha = bit(combineFunctionScaleOtherAddLocalAlpha);
// Other times a factor, plus the local colour or the local alpha: the added part goes to the specular colour.
const FxU32 fnAddsLocal = fnScaleOtherAddLocal | fnScaleOtherAddLocalAlpha;
const FxU32 fnScaleOtherMinusLocal = bit(combineFunctionScaleOtherMinusLocal);
const FxU32 fnBlend = bit(combineFunctionBlend);
const FxU32 fnBlendLocal = bit(combineFunctionScaleMinusLocalAddLocal);

const FxU32 factorZero = bit(combineFactorZero);
const FxU32 factorLocal = bit(combineFactorLocal);
const FxU32 factorOtherAlpha = bit(combineFactorOtherAlpha);
const FxU32 factorLocalAlpha = bit(combineFactorLocalAlpha);
const FxU32 factorTextureAlpha = bit(combineFactorTextureAlpha);
const FxU32 factorTextureRgb = bit(combineFactorTextureRgb);
const FxU32 factorTexture = factorTextureAlpha | factorTextureRgb;
const FxU32 factorOne = bit(combineFactorOne);
const FxU32 factorOneMinusLocal = bit(combineFactorOneMinusLocal) | bit(combineFactorOneMinusLocalAlpha);

const FxU32 localIterated = bit(combineLocalIterated);
const FxU32 localConstant = bit(combineLocalConstant);
const FxU32 localBoth = localIterated | localConstant;

const FxU32 otherIterated = bit(combineOtherIterated);
const FxU32 otherTexture = bit(combineOtherTexture);
const FxU32 otherConstant = bit(combineOtherConstant);

// Specular code of the rules that add the local colour: the vertex colour for a local ITERATED, the
// constant colour for a local CONSTANT, which are codes 0 and 1; for the function that adds the local
// alpha, that alpha in every channel.
const FxU32 specularIsLocal = 0xFFFF;

const FxU32 arg1 = D3DTOP_SELECTARG1;
const FxU32 arg2 = D3DTOP_SELECTARG2;
const FxU32 modulate = D3DTOP_MODULATE;
const FxU32 subtract = D3DTOP_SUBTRACT;
const FxU32 blendTextureAlpha = D3DTOP_BLENDTEXTUREALPHA;

enum RuleCondition { always, blendTextureAlphaEntry, waveRaceEntry };

struct CombineRule {
    FxU32 functions;
    FxU32 factors;
    FxU32 locals;
    FxU32 others;
    FxU32 diffuseCode;
    FxU32 specularCode;
    FxU32 stageOp;
    RuleCondition condition;
};

// Applied in this order; a later rule overrides what an earlier one wrote.
const CombineRule combineRules[] = {
    {anyFunction, anyFactor, anyLocal, otherIterated, 0, 254, arg2, always},
    {anyFunction, anyFactor, anyLocal, otherConstant, 1, 254, arg2, always},
    {anyFunction, anyFactor, anyLocal, otherTexture, 0, 254, arg1, always},
    {fnZero, anyFactor, anyLocal, anyOther, 254, 254, arg2, always},
    {fnLocal, anyFactor, localConstant, anyOther, 1, 254, arg2, always},
    {fnLocal, anyFactor, localIterated, anyOther, 0, 254, arg2, always},
    {fnScaleOther, factorZero, anyLocal, otherIterated, 4, 254, arg2, always},
    {fnScaleOther, factorZero, anyLocal, otherConstant, 5, 254, arg2, always},
    {fnScaleOther, factorZero, anyLocal, otherTexture, 254, 254, arg1, always},
    {fnScaleOther, factorLocal, localIterated, otherTexture, 0, 254, modulate, always},
    {fnScaleOther, factorLocal, localConstant, otherTexture, 1, 254, modulate, always},
    {fnScaleOther, factorLocal, localConstant, otherConstant, 1, 254, arg2, always},
    {fnScaleOther, factorLocal, localIterated, otherConstant, 192, 254, arg2, always},
    {fnScaleOther, factorLocal, localIterated, otherIterated, 0, 254, arg2, always},
    {fnScaleOther, factorLocal, localConstant, otherIterated, 192, 254, arg2, always},
    {fnScaleOther, factorTexture, anyLocal, otherIterated, 0, 254, modulate, always},
    {fnScaleOther, factorTexture, anyLocal, otherConstant, 1, 254, modulate, always},
    {fnScaleOther, factorTexture, anyLocal, otherTexture, 254, 254, arg1, always},
    {fnScaleOther, factorOne, anyLocal, otherIterated, 0, 254, arg2, always},
    {fnScaleOther, factorOne, anyLocal, otherConstant, 1, 254, arg2, always},
    {fnScaleOther, factorOne, anyLocal, otherTexture, 254, 254, arg1, always},
    {fnScaleOther, factorOneMinusLocal, localConstant, otherTexture, 7, 254, modulate, always},
    {fnScaleOther, factorOneMinusLocal, localConstant, otherConstant, 7, 254, arg2, always},
    {fnScaleOther, factorOneMinusLocal, localConstant, otherIterated, 193, 254, arg2, always},
    {fnScaleOther, factorOneMinusLocal, localIterated, otherTexture, 6, 254, modulate, always},
    {fnScaleOther, factorOneMinusLocal, localIterated, otherIterated, 6, 254, arg2, always},
    {fnScaleOther, factorOneMinusLocal, localIterated, otherConstant, 193, 254, arg2, always},
    {fnAddsLocal, factorZero, localBoth, otherIterated, 4, specularIsLocal, modulate, always},
    {fnAddsLocal, factorZero, localBoth, otherConstant, 5, specularIsLocal, modulate, always},
    {fnAddsLocal, factorZero, localBoth, otherTexture, 254, specularIsLocal, modulate, always},
    {fnAddsLocal, factorLocal, localConstant, otherTexture, 1, specularIsLocal, modulate, always},
    {fnAddsLocal, factorLocal, localConstant, otherConstant, 1, specularIsLocal, arg2, always},
    {fnAddsLocal, factorLocal, localConstant, otherIterated, 192, specularIsLocal, arg2, always},
    {fnAddsLocal, factorLocal, localIterated, otherTexture, 0, specularIsLocal, modulate, always},
    {fnAddsLocal, factorLocal, localIterated, otherConstant, 192, specularIsLocal, arg2, always},
    {fnAddsLocal, factorLocal, localIterated, otherIterated, 0, specularIsLocal, arg2, always},
    {fnAddsLocal, factorOne, localBoth, otherIterated, 0, specularIsLocal, arg2, always},
    {fnAddsLocal, factorOne, localBoth, otherConstant, 1, specularIsLocal, arg2, always},
    {fnAddsLocal, factorOne, localBoth, otherTexture, 254, specularIsLocal, arg1, always},
    {fnAddsLocal, factorTexture, localBoth, otherIterated, 0, specularIsLocal, modulate, always},
    {fnAddsLocal, factorTexture, localBoth, otherConstant, 1, specularIsLocal, modulate, always},
    {fnAddsLocal, factorTexture, localBoth, otherTexture, 254, specularIsLocal, arg1, always},
    {fnScaleOtherMinusLocal, factorOne, localIterated, otherIterated, 32, 254, arg2, always},
    {fnScaleOtherMinusLocal, factorOne, localIterated, otherConstant, 254, 254, arg2, always},
    {fnScaleOtherMinusLocal, factorOne, localIterated, otherTexture, 0, 254, subtract, always},
    {fnScaleOtherMinusLocal, factorOne, localConstant, otherIterated, 33, 254, arg2, always},
    {fnScaleOtherMinusLocal, factorOne, localConstant, otherConstant, 254, 254, arg2, always},
    {fnScaleOtherMinusLocal, factorOne, localConstant, otherTexture, 7, 254, modulate, always},
    {fnBlend, factorZero, localBoth, otherIterated, 4, specularIsLocal, modulate, always},
    {fnBlend, factorZero, localBoth, otherConstant, 5, specularIsLocal, modulate, always},
    {fnBlend, factorZero, localBoth, otherTexture, 254, specularIsLocal, modulate, always},
    {fnBlend, factorLocal, localIterated, otherTexture, 0, 0, modulate, always},
    {fnBlend, factorLocal, localConstant, otherTexture, 1, 1, modulate, always},
    {fnBlend, factorLocal, localConstant, otherConstant, 1, 1, arg2, always},
    {fnBlend, factorLocal, localIterated, otherConstant, 192, 0, arg2, always},
    {fnBlend, factorLocal, localIterated, otherIterated, 0, 0, arg2, always},
    {fnBlend, factorLocal, localConstant, otherIterated, 192, 1, arg2, always},
    {fnBlend, factorOtherAlpha, localIterated, otherConstant, 192, 254, arg2, always},
    {fnBlend, factorOne, localBoth, otherIterated, 0, specularIsLocal, arg2, always},
    {fnBlend, factorOne, localBoth, otherConstant, 1, specularIsLocal, arg2, always},
    {fnBlend, factorOne, localBoth, otherTexture, 254, specularIsLocal, arg1, always},
    {fnBlend, factorTextureAlpha, localIterated, otherIterated, 254, 0, modulate, always},
    {fnBlend, factorTextureAlpha, localIterated, otherConstant, 33, 0, modulate, always},
    {fnBlend, factorTextureAlpha, localIterated, otherTexture, 254, 0, arg1, always},
    {fnBlend, factorTextureAlpha, localConstant, otherIterated, 33, 1, modulate, always},
    {fnBlend, factorTextureAlpha, localConstant, otherConstant, 1, 1, modulate, always},
    {fnBlend, factorTextureAlpha, localConstant, otherTexture, 254, 1, arg1, always},
    {fnBlend, factorTextureRgb, localIterated, otherIterated, 0, 254, modulate, always},
    {fnBlend, factorTextureRgb, localIterated, otherConstant, 33, 0, modulate, always},
    {fnBlend, factorTextureRgb, localIterated, otherTexture, 254, 0, arg1, always},
    {fnBlend, factorTextureRgb, localConstant, otherIterated, 32, 1, modulate, always},
    {fnBlend, factorTextureRgb, localConstant, otherConstant, 1, 254, modulate, always},
    {fnBlend, factorTextureRgb, localConstant, otherTexture, 254, 1, arg1, always},
    {fnBlend, factorTextureRgb, localConstant, otherIterated, 0, 5, modulate, always},
    {fnBlend, factorTextureAlpha, localIterated, otherTexture, 0, 254, blendTextureAlpha,
     blendTextureAlphaEntry},
    {fnBlend, factorTextureAlpha, localConstant, otherTexture, 1, 254, blendTextureAlpha,
     blendTextureAlphaEntry},
    // The local alpha: alone, and as the factor that scales the other colour (the vertex alpha for a local
    // ITERATED, the constant alpha for a local CONSTANT).
    {fnLocalAlpha, anyFactor, localIterated, anyOther, codeVertexAlpha, 254, arg2, always},
    {fnLocalAlpha, anyFactor, localConstant, anyOther, codeConstantAlpha, 254, arg2, always},
    {fnScaleOther, factorLocalAlpha, localIterated, otherTexture, codeVertexAlpha, 254, modulate, always},
    {fnScaleOther, factorLocalAlpha, localConstant, otherTexture, codeConstantAlpha, 254, modulate, always},
    {fnScaleOther, factorLocalAlpha, localIterated, otherIterated, codeVertexTimesVertexAlpha, 254, arg2,
     always},
    {fnScaleOther, factorLocalAlpha, localConstant, otherIterated, codeVertexTimesConstantAlpha, 254, arg2,
     always},
    {fnScaleOther, factorLocalAlpha, localIterated, otherConstant, codeConstantTimesVertexAlpha, 254, arg2,
     always},
    {fnScaleOther, factorLocalAlpha, localConstant, otherConstant, codeConstantTimesConstantAlpha, 254, arg2,
     always},
    {fnAddsLocal, factorLocalAlpha, localIterated, otherTexture, codeVertexAlpha, specularIsLocal, modulate,
     always},
    {fnAddsLocal, factorLocalAlpha, localConstant, otherTexture, codeConstantAlpha, specularIsLocal, modulate,
     always},
    {fnAddsLocal, factorLocalAlpha, localIterated, otherIterated, codeVertexTimesVertexAlpha, specularIsLocal,
     arg2, always},
    {fnAddsLocal, factorLocalAlpha, localConstant, otherIterated, codeVertexTimesConstantAlpha,
     specularIsLocal, arg2, always},
    {fnAddsLocal, factorLocalAlpha, localIterated, otherConstant, codeConstantTimesVertexAlpha,
     specularIsLocal, arg2, always},
    {fnAddsLocal, factorLocalAlpha, localConstant, otherConstant, codeConstantTimesConstantAlpha,
     specularIsLocal, arg2, always},
    // The Wave Race 64 water entry of the quirk table: the texture plus one quarter of the vertex colour.
    {fnScaleOther, factorLocal, localIterated, otherTexture, 254, 128, arg1, waveRaceEntry},
    {fnBlendLocal, anyFactor, localIterated, anyOther, 6, 0, arg2, always},
    {fnBlendLocal, anyFactor, localConstant, anyOther, 7, 1, arg2, always},
    {fnBlendLocal, factorTexture, localIterated, anyOther, 6, 0, modulate, always},
    {fnBlendLocal, factorTexture, localConstant, anyOther, 7, 1, modulate, always},
};

FxU32 localCode(FxU32 function, FxU32 local) {
    if (static_cast<FxI32>(function) != combineFunctionScaleOtherAddLocalAlpha) return local;
    return local == static_cast<FxU32>(combineLocalConstant) ? codeConstantAlpha : codeVertexAlpha;
}

bool ruleApplies(const CombineRule &rule, const CombineTableRules &rules) {
    switch (rule.condition) {
    case blendTextureAlphaEntry:
        return rules.blendTextureAlphaEntries;
    case waveRaceEntry:
        return quirkApplies(QuirkEffect::waterTexturePlusVertexQuarter);
    default:
        return true;
    }
}

void applyRule(const CombineRule &rule, bool deviceBlendsTextureAlpha) {
    FxU32 stageOp = rule.stageOp;
    if (stageOp == blendTextureAlpha && !deviceBlendsTextureAlpha) stageOp = modulate;
    for (FxU32 function = 0; function < combineFunctionCount; ++function) {
        if (!(rule.functions & bit(function))) continue;
        for (FxU32 factor = 0; factor < combineFactorCount; ++factor) {
            if (!(rule.factors & bit(factor))) continue;
            for (FxU32 local = 0; local < combineLocalCount; ++local) {
                if (!(rule.locals & bit(local))) continue;
                for (FxU32 other = 0; other < combineOtherCount; ++other) {
                    if (!(rule.others & bit(other))) continue;
                    CombineEntry &entry =
                        deviceTables.combineTable[combineIndex(function, factor, local, other)];
                    entry.diffuseCode = rule.diffuseCode;
                    entry.specularCode =
                        rule.specularCode == specularIsLocal ? localCode(function, local) : rule.specularCode;
                    entry.stageOp = stageOp;
                }
            }
        }
    }
}

} // namespace

int combineIndex(FxI32 function, FxI32 factor, FxI32 local, FxI32 other) {
    FxU32 fn = static_cast<FxU32>(function);
    FxU32 fa = static_cast<FxU32>(factor);
    FxU32 lo = static_cast<FxU32>(local);
    FxU32 ot = static_cast<FxU32>(other);
    if (fn >= combineFunctionCount || fa >= combineFactorCount || lo >= combineLocalCount ||
        ot >= combineOtherCount)
        return -1;
    return static_cast<int>(((fn * combineFactorCount + fa) * combineLocalCount + lo) * combineOtherCount +
                            ot);
}

void buildCombineTable(const CombineTableRules &rules) {
    memset(deviceTables.combineTable, 0, sizeof(deviceTables.combineTable));
    memset(deviceTables.alphaTraced, 0, sizeof(deviceTables.alphaTraced));
    bool deviceBlendsTextureAlpha =
        (renderContext.deviceCaps.dwTextureOpCaps & D3DTEXOPCAPS_BLENDTEXTUREALPHA) != 0;
    for (const CombineRule &rule : combineRules)
        if (ruleApplies(rule, rules)) applyRule(rule, deviceBlendsTextureAlpha);
    deviceTables.combineTableBuilt = true;
}
