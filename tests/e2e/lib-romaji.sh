#!/usr/bin/env bash
# How to type each line of the shipped Japanese practice text (assets/texts/japanese.txt)
# through mozc, for e2e_ime_type: romaji, SPACE to convert, ENTER to confirm (an ENTER with
# no SPACE before it commits the kana as typed), BS to delete a character.
#
# mozc starts each test without learned conversions (lib-ime.sh), so its first candidate is
# always the same; a line whose whole conversion picks a wrong word is typed in parts, each
# part's first candidate being right, and the parts that must stay kana are committed as
# typed. Learning cannot change these results: every part commits its first candidate.

declare -A E2E_ROMAJI=(
    ['今日はいい天気ですね。']='kyouhaiitenkidesune. SPACE ENTER'
    ['駅の前に新しいパン屋さんができました。']='ekinomaeniatarasiipannyasanngadekimasita. SPACE ENTER'
    # あさごはん converts to 朝ご飯 and あさごはんに to 朝ご範囲.
    ['朝ごはんにトーストとコーヒーをいただきます。']='asa SPACE ENTER gohannni ENTER to-sutotoko-hi-woitadakimasu. SPACE ENTER'
    ['お昼は何を食べましたか？']='ohiruhananiwotabemasitaka? SPACE ENTER'
    # ともだち converts to 友達.
    ['週末は友だちとサッカーを見に行きます。']='shuumatsuhatomo SPACE ENTER dachi ENTER tosakka-wominiikimasu. SPACE ENTER'
    ['図書館で本を三冊借りました。']='toshokandehonwosansatsukarimasita. SPACE ENTER'
    # ふる converts to フル (ふるそう to 古そう): 降 comes from 降水量.
    ['夕方から雨が降るそうなので、傘を持っていきましょう。']='yuugatakaraamega SPACE ENTER kousuiryou SPACE ENTER BS BS ru ENTER sounanode,kasawomotteikimashou. SPACE ENTER'
    ['スーパーで牛乳と卵を買ってきてください。']='su-pa-degyuunyuutotamagowokattekitekudasai. SPACE ENTER'
)

# Prints the steps that type `line` right; fails the test for a line not in the table.
e2e_romaji_for() {
    [[ -n ${E2E_ROMAJI[$1]+set} ]] || e2e_fail "no romaji for the line '$1' (update lib-romaji.sh)"
    printf '%s' "${E2E_ROMAJI[$1]}"
}

# The same romaji committed as typed, never converted: a wrong line for every line here.
e2e_romaji_unconverted() {
    local steps
    steps=$(e2e_romaji_for "$1") || exit 1
    printf '%s' "${steps//SPACE /}"
}
