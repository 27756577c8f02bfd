<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AccessMenu</name>
    <message>
        <source>国一覧へ(&amp;K)</source>
        <translation>To the countries (&amp;K)</translation>
    </message>
    <message>
        <source>案内をもう一度(&amp;L)</source>
        <translation>Tell the last line again (&amp;L)</translation>
    </message>
    <message>
        <source>ﾊｲｺﾝﾄﾗｽﾄ(&amp;H)</source>
        <translation>High contrast (&amp;H)</translation>
    </message>
    <message>
        <source>戦いの経過(&amp;W)</source>
        <translation>Last battle’s ro&amp;unds</translation>
    </message>
</context>
<context>
    <name>AdviceWindow</name>
    <message>
        <source>助言できるのは自国の番だけです</source>
        <translation>Advice is for the turn of a country of yours</translation>
    </message>
    <message>
        <source>%1 %2: 出せる命令がありません</source>
        <translation>%1 %2: no command can be given</translation>
    </message>
    <message>
        <source>%1 %2 の番: 各命令を %3 か月先まで %4 / %5 回試しました%6</source>
        <translation>%1 %2&apos;s turn: each command tried %4 of %5 times, %3 months ahead%6</translation>
    </message>
    <message>
        <source> (考え中)</source>
        <translation> (thinking)</translation>
    </message>
    <message>
        <source>助言</source>
        <translation>Advice</translation>
    </message>
    <message>
        <source>試行</source>
        <translation>Trials</translation>
    </message>
    <message>
        <source>助言(&amp;A)...</source>
        <translation>&amp;Advice...</translation>
    </message>
    <message>
        <source>命令 (その下に理由)</source>
        <translation>Command (why, beneath)</translation>
    </message>
    <message>
        <source>評価</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>評価 = 各月の平均国数 − %1 × 国を失った試行の割合
評価の高い順。同点は終わりの兵力 (兵士×訓練) の大きい順、それも同じなら一覧の順</source>
        <translation>Score = countries held month by month on average − %1 × the share of trials losing a country
Highest score first; equal scores by the larger army at the end (soldiers × training), then in the list&apos;s order</translation>
    </message>
</context>
<context>
    <name>Announcer</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 が %2 に攻め込み、占領しました</source>
        <translation>%1 attacked %2 and took it</translation>
    </message>
    <message>
        <source>%1 が %2 に攻め込みましたが、撃退されました</source>
        <translation>%1 attacked %2 and was driven back</translation>
    </message>
    <message>
        <source>%1 が %2 に攻め込みましたが、攻め落とせず退きました</source>
        <translation>%1 attacked %2 but could not take it and withdrew</translation>
    </message>
    <message>
        <source> (兵士 %1 対 %2)</source>
        <translation> (soldiers %1 against %2)</translation>
    </message>
    <message>
        <source>%1 → %2: %3</source>
        <translation>%1 → %2: %3</translation>
    </message>
</context>
<context>
    <name>AutosaveStore</name>
    <message>
        <source>フォルダを作れません: %1</source>
        <translation>Cannot create the folder: %1</translation>
    </message>
    <message>
        <source>%1 年 %2 月 %3</source>
        <translation>Month %2, %1 %3</translation>
    </message>
</context>
<context>
    <name>BestGamesWindow</name>
    <message>
        <source>記録</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>順位</source>
        <translation>Rank</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>君主</source>
        <translation>Ruler</translation>
    </message>
    <message>
        <source>難易度</source>
        <translation>Difficulty</translation>
    </message>
    <message>
        <source>月数</source>
        <translation>Months</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>得点</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>もう一度見る</source>
        <translation>Watch again</translation>
    </message>
    <message>
        <source>統一</source>
        <translation>Unified</translation>
    </message>
    <message>
        <source>敗北</source>
        <translation>Defeated</translation>
    </message>
    <message>
        <source>途中</source>
        <translation>Unfinished</translation>
    </message>
</context>
<context>
    <name>BundleFiles</name>
    <message>
        <source>書き出せませんでした
%1
%2</source>
        <translation>Could not export
%1
%2</translation>
    </message>
    <message>
        <source>読み込めませんでした
%1
%2</source>
        <translation>Could not import
%1
%2</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙ (*.velcor)</source>
        <translation>Bundles (*.velcor)</translation>
    </message>
    <message>
        <source>書き出しが完了しました</source>
        <translation>Export complete</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙに書き出し(&amp;U)...</source>
        <translation>Export as b&amp;undle...</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙを読み込み(&amp;I)...</source>
        <translation>&amp;Import bundle...</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Velcor</translation>
    </message>
</context>
<context>
    <name>CBattleDlg</name>
    <message>
        <source>戦争</source>
        <translation>War</translation>
    </message>
    <message>
        <source>攻撃側</source>
        <translation>Attack</translation>
    </message>
    <message>
        <source>兵士数</source>
        <translation>Troops</translation>
    </message>
    <message>
        <source>守備側</source>
        <translation>Defence</translation>
    </message>
    <message>
        <source>訓練 %1</source>
        <translation>Training %1</translation>
    </message>
    <message>
        <source>攻撃側 %1 %2 / 守備側 %3 %4</source>
        <translation>Attacker %1 %2 / defender %3 %4</translation>
    </message>
</context>
<context>
    <name>CKivApp</name>
    <message>
        <source>地図の画像を読み込めません。プログラムを終了します。</source>
        <translation>The map picture cannot be read. The program will now end.</translation>
    </message>
</context>
<context>
    <name>CKivView</name>
    <message>
        <source>%1 %2 へ移動 (Enter)</source>
        <translation>Move to %1 %2 (Enter)</translation>
    </message>
    <message>
        <source>助言: %1</source>
        <translation>Advice: %1</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ｹﾞｰﾑ開始(&amp;N)</source>
        <translation>&amp;New game</translation>
    </message>
    <message>
        <source>ｾｰﾌﾞ(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>ﾛｰﾄﾞ(&amp;L)</source>
        <translation>&amp;Load</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>操作方法(&amp;K)...</source>
        <translation>&amp;Keys...</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Velcor...</translation>
    </message>
</context>
<context>
    <name>CMoveDlg</name>
    <message>
        <source>移動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>決定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>兵糧</source>
        <translation>Food</translation>
    </message>
    <message>
        <source>資金</source>
        <translation>Gold</translation>
    </message>
    <message>
        <source>兵士</source>
        <translation>Troops</translation>
    </message>
    <message>
        <source>%1は 0 から %2 までの数を入力してください。</source>
        <translation>%1: enter a number from 0 to %2.</translation>
    </message>
</context>
<context>
    <name>CRulerDlg</name>
    <message>
        <source>君主選択</source>
        <translation>Choose a ruler</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>プレイする君主を選択してください</source>
        <translation>Choose the ruler you will play</translation>
    </message>
    <message>
        <source>君主を選択してください</source>
        <translation>Please choose a ruler.</translation>
    </message>
    <message>
        <source>対戦設定...</source>
        <translation>Players...</translation>
    </message>
    <message>
        <source>2人から4人で交代にﾌﾟﾚｲする、COM 同士の戦いを観戦する、COM ごとに強さを決める</source>
        <translation>Two to four people taking turns, the computers playing each other to watch, a level for each computer</translation>
    </message>
</context>
<context>
    <name>CScenarioDlg</name>
    <message>
        <source>189年 12月    群雄割拠</source>
        <translation>189/12  Warlords rise</translation>
    </message>
    <message>
        <source>200年 4月    官渡の戦い</source>
        <translation>200/4  Guandu</translation>
    </message>
    <message>
        <source>219年 5月    三国鼎立</source>
        <translation>219/5  Three kingdoms</translation>
    </message>
    <message>
        <source>シナリオ選択</source>
        <translation>Scenario</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ｼﾅﾘｵを選択してください</source>
        <translation>Choose a scenario</translation>
    </message>
    <message>
        <source>シナリオを選択してください</source>
        <translation>Please choose a scenario.</translation>
    </message>
    <message>
        <source>乱世</source>
        <translation>Chaos</translation>
    </message>
    <message>
        <source>種から作り、どの君主にも勝ち目があるように整えたｼﾅﾘｵ。同じ種からは同じｼﾅﾘｵができます</source>
        <translation>A scenario made from a seed and adjusted until every ruler has a chance. The same seed makes the same scenario</translation>
    </message>
    <message>
        <source>自作ｼﾅﾘｵ</source>
        <translation>Your scenarios</translation>
    </message>
    <message>
        <source>種</source>
        <translation>Seed</translation>
    </message>
    <message>
        <source>%1年 %2月    %3</source>
        <translation>%1/%2  %3</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ → ｼﾅﾘｵ編集 で保存したｼﾅﾘｵがここに並びます</source>
        <translation>Scenarios saved with File → Scenario editor are listed here</translation>
    </message>
    <message>
        <source>種は 0 から %1 までの整数で入力してください</source>
        <translation>Enter a whole number from 0 to %1 as the seed.</translation>
    </message>
    <message>
        <source>乱世を作っています (種 %1)...</source>
        <translation>Making Chaos (seed %1)...</translation>
    </message>
    <message>
        <source>種 %1 から乱世を作れませんでした</source>
        <translation>No Chaos scenario came of seed %1.</translation>
    </message>
    <message>
        <source>乱世 %1</source>
        <translation>Chaos %1</translation>
    </message>
    <message>
        <source>乱世 %1 (%2)</source>
        <translation>Chaos %1 (%2)</translation>
    </message>
    <message>
        <source>乱世を保存できませんでした
%1</source>
        <translation>Chaos could not be saved
%1</translation>
    </message>
</context>
<context>
    <name>Chronicle</name>
    <message>
        <source>戦況記録(&amp;C)</source>
        <translation>&amp;Chronicle</translation>
    </message>
    <message>
        <source>国名を表示</source>
        <translation>Country names on the map</translation>
    </message>
    <message>
        <source>戦況報告を表示</source>
        <translation>Turn report</translation>
    </message>
</context>
<context>
    <name>ChronicleLog</name>
    <message>
        <source>%1 行目が読めません</source>
        <translation>line %1 cannot be read</translation>
    </message>
    <message>
        <source>別のｹﾞｰﾑの記録です</source>
        <translation>it belongs to another game</translation>
    </message>
</context>
<context>
    <name>ChronicleWindow</name>
    <message>
        <source>この時点から再開</source>
        <translation>Resume from here</translation>
    </message>
</context>
<context>
    <name>CommandFigure</name>
    <message>
        <source>開墾</source>
        <translation>farmland</translation>
    </message>
    <message>
        <source>商業</source>
        <translation>trade</translation>
    </message>
</context>
<context>
    <name>CommandTable</name>
    <message>
        <source>兵士・兵糧・資金を隣の自国へ移します。費用はかかりません (隣に自国があること)</source>
        <translation>Moves troops, food and gold to a neighbouring country of yours. Costs nothing (needs a neighbour of your own)</translation>
    </message>
    <message>
        <source>資金 %1 で%2を 1〜%3 上げます (資金 %1 以上)</source>
        <translation>Raises %2 by 1 to %3 for %1 gold (needs %1 gold)</translation>
    </message>
    <message>
        <source>開墾</source>
        <translation>Farm</translation>
    </message>
    <message>
        <source>商業</source>
        <translation>Trade</translation>
    </message>
    <message>
        <source>資金 %1 で人口から兵士を %2〜%3 集めます (資金 %1 以上)
新兵の分だけ訓練が下がります</source>
        <translation>Raises %2 to %3 troops from the population for %1 gold (needs %1 gold)
The new recruits lower the training</translation>
    </message>
    <message>
        <source>訓練を 1〜%1 上げます。費用はかかりません (訓練 %2 未満)</source>
        <translation>Raises training by 1 to %1. Costs nothing (training below %2)</translation>
    </message>
    <message>
        <source>この国の番を終えます</source>
        <translation>Ends this country&apos;s turn</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>戦争</source>
        <translation>War</translation>
    </message>
    <message>
        <source>徴兵</source>
        <translation>Draft</translation>
    </message>
    <message>
        <source>訓練</source>
        <translation>Train</translation>
    </message>
    <message>
        <source>休養</source>
        <translation>Rest</translation>
    </message>
    <message>
        <source>
今は使えません: </source>
        <translation>
Not now: </translation>
    </message>
    <message>
        <source>右クリックまたは Esc で取り消し&#x3000;矢印キーか Tab で選び Enter で決定</source>
        <translation>Right-click or Esc cancels; arrows or Tab choose, Enter confirms</translation>
    </message>
    <message>
        <source>ｹﾞｰﾑ開始</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>ｾｰﾌﾞ</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>ﾛｰﾄﾞ</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>移動先・攻撃先を選ぶ (選んだ国は地図に囲みで示されます)</source>
        <translation>Choose where to move or whom to attack (the country chosen is framed on the map)</translation>
    </message>
    <message>
        <source>選んだ国に決める</source>
        <translation>Confirm the country chosen</translation>
    </message>
    <message>
        <source>Esc / 右クリック</source>
        <translation>Esc / right-click</translation>
    </message>
    <message>
        <source>移動先・攻撃先の選択を取り消す</source>
        <translation>Cancel choosing where to move or whom to attack</translation>
    </message>
    <message>
        <source>↑ ↓ / 1〜9</source>
        <translation>↑ ↓ / 1-9</translation>
    </message>
    <message>
        <source>シナリオ選択・君主選択で選び、Enter で決める</source>
        <translation>Choose a scenario or a ruler; Enter confirms</translation>
    </message>
    <message>
        <source>戦況記録を開く・閉じる</source>
        <translation>Open or close the chronicle</translation>
    </message>
    <message>
        <source>操作方法 (この画面)</source>
        <translation>Keys (this window)</translation>
    </message>
    <message>
        <source>資金 %1 で隣の国に攻め込みます (兵糧が兵士以上、資金 %1 以上)
相手の兵士が 0 になれば占領 (相討ちでも)、兵士のいない国は戦わずに占領します
こちらの兵士が 0 になるか、%2 回の攻防で決着がつかなければ失敗です
戦いの後、残った兵士と同じだけの兵糧を使います</source>
        <translation>Attacks a neighbouring country for %1 gold (needs at least as much food as troops, and %1 gold)
Takes it when its troops are gone (even if yours fall too), at once when it has none
Fails when your troops are gone, or after %2 exchanges with both sides standing
After the battle, uses as much food as troops are left</translation>
    </message>
    <message>
        <source>画面を大きくする (拡大)</source>
        <translation>Larger window (zoom)</translation>
    </message>
    <message>
        <source>画面を小さくする (縮小)</source>
        <translation>Smaller window (zoom)</translation>
    </message>
    <message>
        <source>戦闘画面: 戦いを終わりまで一度に進める
結果が出た後は、どのキーでも閉じる</source>
        <translation>Battle window: fights the battle to its end at once
Once the outcome is shown, any key closes it</translation>
    </message>
    <message>
        <source>自国一覧を開く・閉じる</source>
        <translation>Open or close the list of own countries</translation>
    </message>
    <message>
        <source>助言: この国で出せる命令を先読みして順位をつける</source>
        <translation>Advice: the commands of this country, tried ahead and ranked</translation>
    </message>
    <message>
        <source>残りを休養: この月に残った自国をすべて休養させる (次の人の番で止まる)</source>
        <translation>Rest the others: every country of yours left this month rests (stops at the next person&apos;s turn)</translation>
    </message>
    <message>
        <source>観戦・再生を一時停止する・続ける</source>
        <translation>Pause or go on watching (a game or a replay)</translation>
    </message>
    <message>
        <source>一時停止中: 1か月 (再生は1手) 進める</source>
        <translation>While paused: one month on (a replay: one command)</translation>
    </message>
    <message>
        <source>国一覧へ: 地図の国を矢印キーで順に選ぶ (読み上げソフト向け)</source>
        <translation>To the countries: go through the map&apos;s countries with the arrow keys (for screen readers)</translation>
    </message>
    <message>
        <source>読み上げソフトへの最後の案内をもう一度</source>
        <translation>Tell a screen reader the last line again</translation>
    </message>
    <message>
        <source>最後の戦いの経過を聞く (読み上げソフト向け)</source>
        <translation>Hear the rounds of the last battle (for screen readers)</translation>
    </message>
</context>
<context>
    <name>DifficultyMenu</name>
    <message>
        <source>難易度(&amp;D)</source>
        <translation>&amp;Difficulty</translation>
    </message>
    <message>
        <source>%1の番</source>
        <translation>%1&apos;s turn</translation>
    </message>
    <message>
        <source>乱世 (種 %1)</source>
        <translation>Chaos (seed %1)</translation>
    </message>
    <message>
        <source>観戦中 (一時停止)</source>
        <translation>Watching (paused)</translation>
    </message>
    <message>
        <source>観戦中</source>
        <translation>Watching</translation>
    </message>
</context>
<context>
    <name>Ending</name>
    <message>
        <source>記録を読めませんでした
%1
%2</source>
        <translation>The records could not be read
%1
%2</translation>
    </message>
    <message>
        <source>記録を書き込めませんでした
%1
%2</source>
        <translation>The records could not be written
%1
%2</translation>
    </message>
    <message>
        <source>記録(&amp;R)</source>
        <translation>&amp;Records</translation>
    </message>
    <message>
        <source>%1 はすべての国を失いました。ｹﾞｰﾑはほかの人で続きます</source>
        <translation>%1 has lost every country. The game goes on for the others.</translation>
    </message>
</context>
<context>
    <name>FileDialog</name>
    <message>
        <source>Kiv Files (*.txt)</source>
        <translation>Velcor games (*.txt)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>ForesightWords</name>
    <message>
        <source>攻め込めば (%1 回の試算)
占領 %2%
退却 %3%
全滅 %4%
残る兵士 味方 %5 敵 %6</source>
        <translation>If you attack (%1 trials)
Taken %2%
Beaten off %3%
Wiped out %4%
Soldiers left: yours %5, theirs %6</translation>
    </message>
    <message>
        <source> (兵士 %1 兵糧 %2 資金 %3)</source>
        <translation> (soldiers %1 provisions %2 funds %3)</translation>
    </message>
    <message>
        <source>占領 %1%  退却 %2%  全滅 %3%  残る兵士 味方 %4 敵 %5</source>
        <translation>Taken %1%  Retreat %2%  Wiped out %3%  Left: ours %4, theirs %5</translation>
    </message>
    <message>
        <source>%1 %2 へ攻撃 (Enter)</source>
        <translation>Attack %1 %2 (Enter)</translation>
    </message>
    <message>
        <source>%1か月の平均は %2 か国、今の国数以上で終わる試行は %3%。</source>
        <translation>Over %1 months: %2 countries on average; %3% of the trials end with at least as many as now.</translation>
    </message>
    <message>
        <source>国を失った試行はありません。</source>
        <translation>No trial lost a country.</translation>
    </message>
    <message>
        <source>国を失った試行は 1% 未満 (%1 の攻撃)。</source>
        <translation>Under 1% of the trials lost a country (to %1&apos;s attack).</translation>
    </message>
    <message>
        <source>国を失った試行は 1% 未満。</source>
        <translation>Under 1% of the trials lost a country.</translation>
    </message>
    <message>
        <source>国を失った試行は %1% (多くは %2 の攻撃)。</source>
        <translation>%1% of the trials lost a country (mostly to %2&apos;s attack).</translation>
    </message>
    <message>
        <source>国を失った試行は %1%。</source>
        <translation>%1% of the trials lost a country.</translation>
    </message>
    <message>
        <source>評価が同じ命令の間では、終わりの兵力 (兵士×訓練) の大きい順です: この命令は %1。</source>
        <translation>Commands of the same score rank by the army left at the end (troops × training): %1 for this one.</translation>
    </message>
    <message>
        <source>評価は国の数で数えます: %1か月の平均の国数から、国を失った試行の割合 × %2 か国を引いたもの (国を失う危険が大きいと負になります)。今は %3 か国です。</source>
        <translation>The score counts countries: those held over %1 months on average, less %2 countries times the share of trials that lost one (a great risk makes it negative). You hold %3 now.</translation>
    </message>
    <message>
        <source>戦争は出せません: %1</source>
        <translation>No war can be made: %1</translation>
    </message>
</context>
<context>
    <name>GameFiles</name>
    <message>
        <source>セーブできませんでした
%1
%2</source>
        <translation>The game could not be saved.
%1
%2</translation>
    </message>
    <message>
        <source>セーブが完了しました</source>
        <translation>The game has been saved.</translation>
    </message>
</context>
<context>
    <name>GameHistory</name>
    <message>
        <source>自動ｾｰﾌﾞから再開(&amp;A)</source>
        <translation>Resume from &amp;autosave</translation>
    </message>
    <message>
        <source>自動ｾｰﾌﾞできません: %1</source>
        <translation>Cannot autosave: %1</translation>
    </message>
    <message>
        <source>(なし)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>最後にｾｰﾌﾞ・ﾛｰﾄﾞしてから出した命令は失われます。このｹﾞｰﾑを終えますか？</source>
        <translation>The commands given since the game was last saved or loaded will be lost. Leave this game?</translation>
    </message>
    <message>
        <source>(今の手番の始めは 自動ｾｰﾌﾞから再開 の「%1」で続けられます)</source>
        <translation>(The start of this turn can still be resumed: File → Resume from autosave → &quot;%1&quot;)</translation>
    </message>
</context>
<context>
    <name>GameStory</name>
    <message>
        <source>記録を保存できませんでした
%1
%2</source>
        <translation>The record could not be saved
%1
%2</translation>
    </message>
    <message>
        <source>再生が終わりました</source>
        <translation>The replay has ended</translation>
    </message>
    <message>
        <source>1ﾀｰﾝ戻る(&amp;B)</source>
        <translation>&amp;Back One Turn</translation>
    </message>
    <message>
        <source>ﾘﾌﾟﾚｲ(&amp;R)</source>
        <translation>&amp;Replay</translation>
    </message>
    <message>
        <source>一時停止(&amp;P)</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>1手進める(&amp;T)</source>
        <translation>S&amp;tep</translation>
    </message>
</context>
<context>
    <name>GameSummaryWindow</name>
    <message>
        <source>戦績</source>
        <translation>How the game went</translation>
    </message>
    <message>
        <source>シナリオ</source>
        <translation>Scenario</translation>
    </message>
    <message>
        <source>君主</source>
        <translation>Ruler</translation>
    </message>
    <message>
        <source>難易度</source>
        <translation>Difficulty</translation>
    </message>
    <message>
        <source>期間</source>
        <translation>Played</translation>
    </message>
    <message>
        <source>攻撃</source>
        <translation>Attacks</translation>
    </message>
    <message>
        <source>%1勝 %2敗</source>
        <translation>%1 won, %2 lost</translation>
    </message>
    <message>
        <source>防衛</source>
        <translation>Defences</translation>
    </message>
    <message>
        <source>奪った国</source>
        <translation>Countries taken</translation>
    </message>
    <message>
        <source>%1か国</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>失った国</source>
        <translation>Countries lost</translation>
    </message>
    <message>
        <source>最大勢力</source>
        <translation>Most countries held</translation>
    </message>
    <message>
        <source>%1か国 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>得点</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>%1 (記録 %2位)</source>
        <translation>%1 (no. %2 in the records)</translation>
    </message>
    <message numerus="yes">
        <source>%1まで (%2か月)</source>
        <translation>
            <numerusform>until %1 (%2 month)</numerusform>
            <numerusform>until %1 (%2 months)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1から%2まで (%3か月)</source>
        <translation>
            <numerusform>from %1 to %2 (%3 month)</numerusform>
            <numerusform>from %1 to %2 (%3 months)</numerusform>
        </translation>
    </message>
    <message>
        <source>乱世 (種 %1)</source>
        <translation>Chaos (seed %1)</translation>
    </message>
    <message>
        <source>戦績 (観戦)</source>
        <translation>How the game went (watched)</translation>
    </message>
</context>
<context>
    <name>HandOverNotice</name>
    <message>
        <source>%1 の番です</source>
        <translation>%1&apos;s turn</translation>
    </message>
    <message>
        <source>ｸﾘｯｸするかｷｰを押すと始まります</source>
        <translation>Click or press a key to begin</translation>
    </message>
</context>
<context>
    <name>HotSeat</name>
    <message>
        <source>自動休養(&amp;E)</source>
        <translation>&amp;End turn after the command</translation>
    </message>
    <message>
        <source>残りを休養(&amp;Y)</source>
        <translation>Rest the others this month(&amp;Y)</translation>
    </message>
    <message>
        <source>観戦(&amp;W)</source>
        <translation>&amp;Watch</translation>
    </message>
    <message>
        <source>一時停止(&amp;P)</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>1か月進める(&amp;T)</source>
        <translation>Next &amp;month</translation>
    </message>
    <message>
        <source>観戦中: %1 で一時停止</source>
        <translation>Watching: %1 pauses</translation>
    </message>
    <message>
        <source>一時停止中: %1 で続ける、%2 で1か月進める</source>
        <translation>Paused: %1 goes on, %2 plays one month</translation>
    </message>
</context>
<context>
    <name>InvitationsDialog</name>
    <message>
        <source>招待</source>
        <translation>Invitations</translation>
    </message>
    <message>
        <source>%1 の招待</source>
        <translation>Invitation for %1</translation>
    </message>
    <message>
        <source>ｺﾋﾟｰ</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>%1 の招待をｺﾋﾟｰ</source>
        <translation>Copy the invitation for %1</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>待たずに開始</source>
        <translation>Start without waiting</translation>
    </message>
    <message>
        <source>まだ参加していない席は COM がﾌﾟﾚｲします</source>
        <translation>The computer plays the seats nobody has joined yet</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>参加しました</source>
        <translation>Joined</translation>
    </message>
    <message>
        <source>それぞれの招待をその君主のﾌﾟﾚｲﾔｰに送ってください。招待には秘密の鍵が入っています: ほかの人には見せないでください。</source>
        <translation>Send each invitation to the player of its ruler. An invitation holds a secret key: show it to nobody else.</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 のﾌﾞﾗｳｻﾞ用ﾘﾝｸ</source>
        <translation>Browser link for %1</translation>
    </message>
    <message>
        <source>%1 のﾌﾞﾗｳｻﾞ用ﾘﾝｸをｺﾋﾟｰ</source>
        <translation>Copy the browser link for %1</translation>
    </message>
    <message>
        <source>ﾌﾞﾗｳｻﾞ用ﾘﾝｸを開くと、ﾌﾞﾗｳｻﾞでその席に参加できます (ｽﾏｰﾄﾌｫﾝでも)。</source>
        <translation>Opening a browser link joins that seat in a browser (on a phone too).</translation>
    </message>
    <message>
        <source>ﾍﾟｰｼﾞのﾌｧｲﾙがないため、ﾌﾞﾗｳｻﾞからは参加できません: ﾌﾟﾛｸﾞﾗﾑで参加してください。</source>
        <translation>The page&apos;s files are not installed here, so nobody can join in a browser: join with the program.</translation>
    </message>
    <message>
        <source>すべての席のﾌﾟﾚｲﾔｰが準備完了になると開始できます</source>
        <translation>It can begin once every seat&apos;s player is ready</translation>
    </message>
</context>
<context>
    <name>KeysDialog</name>
    <message>
        <source>操作方法</source>
        <translation>Keys</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <source>言語(&amp;G)</source>
        <translation>&amp;Language</translation>
    </message>
</context>
<context>
    <name>LobbyWindow</name>
    <message>
        <source>ﾛﾋﾞｰ</source>
        <translation>Lobby</translation>
    </message>
    <message>
        <source>準備完了(&amp;R)</source>
        <translation>&amp;Ready</translation>
    </message>
    <message>
        <source>ﾎｽﾄが開始するのを待っています</source>
        <translation>Waiting for the host to begin</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>参加を待っています</source>
        <translation>Waiting for the player</translation>
    </message>
    <message>
        <source>準備完了</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>参加しました (準備中)</source>
        <translation>Joined (not ready)</translation>
    </message>
    <message>
        <source>%1 (あなた)</source>
        <translation>%1 (you)</translation>
    </message>
</context>
<context>
    <name>MapAccess</name>
    <message>
        <source>国一覧</source>
        <translation>Countries</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 %2 %3</source>
        <translation>%1 %2 %3</translation>
    </message>
    <message>
        <source>%1 %2 (%3 兵士 %4)</source>
        <translation>%1 %2 (%3, soldiers %4)</translation>
    </message>
    <message>
        <source>隣国: %1</source>
        <translation>Neighbours: %1</translation>
    </message>
    <message>
        <source>この国の番です</source>
        <translation>Its turn has come</translation>
    </message>
    <message>
        <source>移動先に選べます</source>
        <translation>May be chosen for the move</translation>
    </message>
    <message>
        <source>移動先に選べません</source>
        <translation>May not be chosen for the move</translation>
    </message>
    <message>
        <source>攻撃先に選べます</source>
        <translation>May be chosen for the attack</translation>
    </message>
    <message>
        <source>攻撃先に選べません</source>
        <translation>May not be chosen for the attack</translation>
    </message>
    <message>
        <source>。</source>
        <translation>. </translation>
    </message>
</context>
<context>
    <name>MapNames</name>
    <message>
        <source>大漠</source>
        <translation>Gobi</translation>
    </message>
    <message>
        <source>西羌</source>
        <translation>Qiang</translation>
    </message>
    <message>
        <source>鮮卑</source>
        <translation>Xianbei</translation>
    </message>
    <message>
        <source>東海</source>
        <translation>East Sea</translation>
    </message>
    <message>
        <source>南海</source>
        <translation>South Sea</translation>
    </message>
</context>
<context>
    <name>MapTips</name>
    <message>
        <source>%1 %2
君主 %3
人口 %4
開墾 %5
商業 %6
兵糧 %7
資金 %8
兵士 %9
訓練 %10</source>
        <translation>%1 %2
Ruler %3
Population %4
Farmland %5
Trade %6
Food %7
Gold %8
Troops %9
Training %10</translation>
    </message>
    <message numerus="yes">
        <source>次の税収 %1年%2月 (あと %3か月): 資金 およそ +%4</source>
        <translation>
            <numerusform>Next taxes %2/%1 (in %3 month): about +%4 funds</numerusform>
            <numerusform>Next taxes %2/%1 (in %3 months): about +%4 funds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>次の収穫 %1年%2月 (あと %3か月): 兵糧 およそ +%4
1月に兵士が兵糧 %5 を食べます (足りなければ兵士は半減)
戦争には兵士と同じだけの兵糧が要ります</source>
        <translation>
            <numerusform>Next harvest %2/%1 (in %3 month): about +%4 provisions
In January the soldiers eat %5 (too little halves them)
A war needs as many provisions as soldiers</numerusform>
            <numerusform>Next harvest %2/%1 (in %3 months): about +%4 provisions
In January the soldiers eat %5 (too little halves them)
A war needs as many provisions as soldiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>プレイヤーの君主</source>
        <translation>player&apos;s ruler</translation>
    </message>
    <message>
        <source>手番の国</source>
        <translation>country in turn</translation>
    </message>
    <message>
        <source>年</source>
        <translation>year</translation>
    </message>
    <message>
        <source>月</source>
        <translation>month</translation>
    </message>
    <message>
        <source>君主</source>
        <translation>ruler</translation>
    </message>
    <message>
        <source>人口</source>
        <translation>population</translation>
    </message>
    <message>
        <source>開墾</source>
        <translation>farmland</translation>
    </message>
    <message>
        <source>商業</source>
        <translation>trade</translation>
    </message>
    <message>
        <source>兵士</source>
        <translation>troops</translation>
    </message>
    <message>
        <source>訓練</source>
        <translation>training</translation>
    </message>
    <message>
        <source>兵糧</source>
        <translation>food</translation>
    </message>
    <message>
        <source>資金</source>
        <translation>gold</translation>
    </message>
    <message>
        <source>マーカーの x</source>
        <translation>marker x</translation>
    </message>
    <message>
        <source>マーカーの y</source>
        <translation>marker y</translation>
    </message>
    <message>
        <source>%1 以上</source>
        <translation>%1 or more</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀﾌｧｲﾙが空です</source>
        <translation>The data file is empty</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀﾌｧｲﾙが途中で終わっています (%1 行目まで)</source>
        <translation>The data file ends too early (after line %1)</translation>
    </message>
    <message>
        <source>%1 行目: %2 の値 %3 は範囲外です (%4)</source>
        <translation>Line %1: the %2 value %3 is out of range (%4)</translation>
    </message>
    <message>
        <source>(大きすぎる数)</source>
        <translation>(a number too large)</translation>
    </message>
    <message>
        <source>%1 (行頭に BOM があります)</source>
        <translation>%1 (the line starts with a BOM)</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>隣国の数が多すぎます (%1)</source>
        <translation>Too many neighbours (%1)</translation>
    </message>
    <message>
        <source>隣国の番号 %1 は範囲外です (0..13)</source>
        <translation>Neighbour number %1 is out of range (0..13)</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀﾌｧｲﾙが正しくありません
%1
%2</source>
        <translation>The data file is not valid
%1
%2</translation>
    </message>
    <message>
        <source>%1
%2
%3</source>
        <translation>%1
%2
%3</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀﾌｧｲﾙが見つかりません</source>
        <translation>The data file cannot be found</translation>
    </message>
    <message>
        <source>%1 の %2 行目: 君主の番号 %3 は範囲外です (1..15)</source>
        <translation>%1, line %2: ruler number %3 is out of range (1..15)</translation>
    </message>
    <message>
        <source>%1 が見つかりませんでした。</source>
        <translation>%1 was not found.</translation>
    </message>
    <message>
        <source>%1 にアクセスできません。</source>
        <translation>%1 cannot be accessed.</translation>
    </message>
    <message>
        <source>%1 を開けません。
%2</source>
        <translation>%1 cannot be opened.
%2</translation>
    </message>
    <message>
        <source>ファイルがありません</source>
        <translation>No such file</translation>
    </message>
    <message>
        <source>フォルダが見つかりません</source>
        <translation>The folder cannot be found</translation>
    </message>
    <message>
        <source>読み込みが許可されていません</source>
        <translation>Reading is not permitted</translation>
    </message>
    <message>
        <source>フォルダは読み込めません</source>
        <translation>A folder cannot be read</translation>
    </message>
    <message>
        <source>シンボリックリンクが循環しています</source>
        <translation>The symbolic links form a loop</translation>
    </message>
    <message>
        <source>ファイル名が長すぎます</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>通常のファイルではありません</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>ディスクの空き容量が不足しています</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>書き込みが許可されていません</source>
        <translation>Writing is not permitted</translation>
    </message>
    <message>
        <source>読み取り専用の場所です</source>
        <translation>The place is read-only</translation>
    </message>
    <message>
        <source>フォルダには保存できません</source>
        <translation>A folder cannot be saved to</translation>
    </message>
    <message>
        <source>ファイル名がありません</source>
        <translation>No file name</translation>
    </message>
    <message>
        <source>通常のファイルではないため保存できません</source>
        <translation>Not a regular file: it cannot be saved to</translation>
    </message>
    <message>
        <source>ファイルが読み取り専用です</source>
        <translation>The file is read-only</translation>
    </message>
    <message>
        <source>我が軍の力を見せてやる</source>
        <translation>Behold the might of my army!</translation>
    </message>
    <message>
        <source>背後から突っ込め</source>
        <translation>Strike from behind!</translation>
    </message>
    <message>
        <source>降伏するなら許してやる</source>
        <translation>Surrender and I&apos;ll spare you</translation>
    </message>
    <message>
        <source>お前の首はもらった！</source>
        <translation>Your head is mine!</translation>
    </message>
    <message>
        <source>捻り潰してやるわ！</source>
        <translation>I&apos;ll crush you!</translation>
    </message>
    <message>
        <source>うろたえるな</source>
        <translation>Hold steady!</translation>
    </message>
    <message>
        <source>篭城して持ちこたえるぞ</source>
        <translation>Hold the walls!</translation>
    </message>
    <message>
        <source>背水の陣で戦え</source>
        <translation>No retreat! Fight!</translation>
    </message>
    <message>
        <source>突撃だ！</source>
        <translation>Charge!</translation>
    </message>
    <message>
        <source>大将の首を狙え！</source>
        <translation>Go for their general!</translation>
    </message>
    <message>
        <source>力押しに押せ！</source>
        <translation>Push them back!</translation>
    </message>
    <message>
        <source>勝利は目前だぞ！</source>
        <translation>Victory is near!</translation>
    </message>
    <message>
        <source>大将の首を取ったぞ！</source>
        <translation>Their general is down!</translation>
    </message>
    <message>
        <source>もはや勝負は決まった！</source>
        <translation>The day is ours!</translation>
    </message>
    <message>
        <source>敵は退却するぞ！</source>
        <translation>The enemy flees!</translation>
    </message>
    <message>
        <source>兵糧が尽きてしまった</source>
        <translation>Our food is gone...</translation>
    </message>
    <message>
        <source>一旦退却するか・・・</source>
        <translation>Fall back, for now...</translation>
    </message>
    <message>
        <source>負けるとは・・・</source>
        <translation>Defeated...</translation>
    </message>
    <message>
        <source>無念・・・</source>
        <translation>Alas...</translation>
    </message>
    <message>
        <source>我らの勝利だ！</source>
        <translation>Victory is ours!</translation>
    </message>
    <message>
        <source>退却するぞ</source>
        <translation>Retreat!</translation>
    </message>
    <message>
        <source>兵糧が不足しています</source>
        <translation>Not enough food</translation>
    </message>
    <message>
        <source>資金が不足しています</source>
        <translation>Not enough gold</translation>
    </message>
    <message>
        <source>開墾が %1 になりました</source>
        <translation>Farmland is now %1</translation>
    </message>
    <message>
        <source>商業が %1 になりました</source>
        <translation>Trade is now %1</translation>
    </message>
    <message>
        <source>兵士が %1 になりました</source>
        <translation>Troops are now %1</translation>
    </message>
    <message>
        <source>訓練が %1 になりました</source>
        <translation>Training is now %1</translation>
    </message>
    <message>
        <source>これ以上訓練できません</source>
        <translation>No more training possible</translation>
    </message>
    <message>
        <source>%1 %2 の番です</source>
        <translation>%1 %2: your turn</translation>
    </message>
    <message>
        <source>%1 には移動できません</source>
        <translation>Cannot move to %1</translation>
    </message>
    <message>
        <source>%1 に物資を移動しました</source>
        <translation>Supplies moved to %1</translation>
    </message>
    <message>
        <source>%1 から %2 へ移動</source>
        <translation>From %1 to %2</translation>
    </message>
    <message>
        <source>%1 には攻撃できません</source>
        <translation>Cannot attack %1</translation>
    </message>
    <message>
        <source>%1 の攻略は成功です</source>
        <translation>%1 has been taken</translation>
    </message>
    <message>
        <source>%1 の攻略は失敗です</source>
        <translation>The attack on %1 failed</translation>
    </message>
    <message>
        <source>移動先を選択してください</source>
        <translation>Choose where to move</translation>
    </message>
    <message>
        <source>攻撃先を選択してください</source>
        <translation>Choose whom to attack</translation>
    </message>
    <message>
        <source>中国全土を統一しました</source>
        <translation>You have unified all China!</translation>
    </message>
    <message>
        <source>ゲームオーバーです</source>
        <translation>Game over</translation>
    </message>
    <message>
        <source>%1 が攻撃されています</source>
        <translation>%1 is under attack</translation>
    </message>
    <message>
        <source>%1 が陥落しました</source>
        <translation>%1 has fallen</translation>
    </message>
    <message>
        <source>%1 は退却しました</source>
        <translation>%1 has withdrawn</translation>
    </message>
    <message>
        <source>記録の表ではありません</source>
        <translation>not a table of records</translation>
    </message>
    <message>
        <source>%1行目: 記録の数が合いません</source>
        <translation>line %1: the number of games is wrong</translation>
    </message>
    <message>
        <source>記録の終わりの後に行があります</source>
        <translation>lines after the end of the table</translation>
    </message>
    <message>
        <source>%1行目が読めません</source>
        <translation>line %1 cannot be read</translation>
    </message>
    <message>
        <source>記録の表が途中で切れています</source>
        <translation>the table is cut short</translation>
    </message>
    <message>
        <source>記録ではありません</source>
        <translation>Not a game record</translation>
    </message>
    <message>
        <source>この版では読めない記録です (版 %1)</source>
        <translation>A record of another version (version %1) cannot be read</translation>
    </message>
    <message>
        <source>記録が壊れています (%1 行目)</source>
        <translation>The record is damaged (line %1)</translation>
    </message>
    <message>
        <source>記録が壊れているか途中で切れています</source>
        <translation>The record is damaged or cut short</translation>
    </message>
    <message>
        <source>別のｹﾞｰﾑの記録です</source>
        <translation>it belongs to another game</translation>
    </message>
    <message>
        <source>%1
%2</source>
        <translation>%1
%2</translation>
    </message>
    <message>
        <source>記録に始まりがありません</source>
        <translation>The record has no start</translation>
    </message>
    <message>
        <source>%1か月間 平均 %2か国・国を保つ %3%</source>
        <translation>Over %1 months: %2 countries on average, all kept in %3%</translation>
    </message>
    <message>
        <source>失う危険なし</source>
        <translation>no risk of losing one</translation>
    </message>
    <message>
        <source>危険: %1 の攻撃 %2%</source>
        <translation>risk: attack from %1 %2%</translation>
    </message>
    <message>
        <source>危険: 国を失う %1%</source>
        <translation>risk: a country lost %1%</translation>
    </message>
    <message>
        <source>・同点は兵力 %1 で</source>
        <translation>; tie decided by the army %1</translation>
    </message>
    <message>
        <source>%1／%2%3</source>
        <translation>%1 / %2%3</translation>
    </message>
    <message>
        <source>「%1」はｼﾅﾘｵの名前に使えません</source>
        <translation>“%1” cannot be the name of a scenario</translation>
    </message>
    <message>
        <source>選べる君主がいません</source>
        <translation>No ruler is offered</translation>
    </message>
    <message>
        <source>%1 は国を持っていません</source>
        <translation>%1 holds no country</translation>
    </message>
    <message>
        <source>ｺﾝﾋﾟｭｰﾀｰの手番を始められません (ｽﾚｯﾄﾞが足りません)</source>
        <translation>The computer&apos;s turns cannot start (no thread to be had)</translation>
    </message>
    <message>
        <source>難易度の記録を無視しました: %1</source>
        <translation>The kept difficulty was set aside: %1</translation>
    </message>
    <message>
        <source>別のｾｰﾌﾞのものか、壊れています</source>
        <translation>it belongs to another save or is damaged</translation>
    </message>
    <message>
        <source>移動できる国がありません</source>
        <translation>No country to move to</translation>
    </message>
    <message>
        <source>攻め込める国がありません</source>
        <translation>No country to attack</translation>
    </message>
    <message>
        <source>席の記録を無視しました: %1</source>
        <translation>The kept seats were set aside: %1</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙが大きすぎます (%1 KB まで)</source>
        <translation>The file is too large (%1 KB at most)</translation>
    </message>
    <message>
        <source>%1 行目が読めません</source>
        <translation>line %1 cannot be read</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます (%1 MB まで)</source>
        <translation>The file is too large (%1 MB at most)</translation>
    </message>
    <message>
        <source>読み込めません (%1)</source>
        <translation>It cannot be read (%1)</translation>
    </message>
    <message>
        <source>書き込みに失敗しました (%1)</source>
        <translation>The write failed (%1)</translation>
    </message>
    <message>
        <source>ゲームが始まっていません</source>
        <translation>No game has started</translation>
    </message>
    <message>
        <source>ほかの国の番です</source>
        <translation>Another country&apos;s turn</translation>
    </message>
    <message>
        <source>移動先を選択中です (右クリックまたは Esc で取り消し)</source>
        <translation>Choosing where to move (right-click or Esc cancels)</translation>
    </message>
    <message>
        <source>攻撃先を選択中です (右クリックまたは Esc で取り消し)</source>
        <translation>Choosing whom to attack (right-click or Esc cancels)</translation>
    </message>
    <message>
        <source>ゲームは終わりました</source>
        <translation>The game is over</translation>
    </message>
    <message>
        <source>この番の行動は済みました (休養で番を終えます)</source>
        <translation>This turn&apos;s action is done (Rest ends the turn)</translation>
    </message>
    <message>
        <source>この番の行動は済みました</source>
        <translation>This turn&apos;s action is done</translation>
    </message>
    <message>
        <source>記録の再生中です</source>
        <translation>A record is playing</translation>
    </message>
    <message>
        <source>戻れる手番がありません</source>
        <translation>There is no earlier turn to go back to</translation>
    </message>
    <message>
        <source>ﾌﾟﾚｲﾔｰの手番にだけ戻れます</source>
        <translation>You can go back only at your turn</translation>
    </message>
    <message>
        <source>その手番は記録にありません</source>
        <translation>That turn is not in the record</translation>
    </message>
    <message>
        <source>ｺﾝﾋﾟｭｰﾀｰの手番が終わるまでお待ちください</source>
        <translation>Please wait until the computer&apos;s turns are over</translation>
    </message>
    <message>
        <source>記録を使えません: %1</source>
        <translation>The record cannot be used: %1</translation>
    </message>
    <message>
        <source>記録を保存できませんでした
%1
%2</source>
        <translation>The record could not be saved
%1
%2</translation>
    </message>
    <message>
        <source>この画面でﾌﾟﾚｲする君主の番ではありません</source>
        <translation>It is not the turn of a ruler played at this screen</translation>
    </message>
    <message>
        <source>%1 の番ではありません</source>
        <translation>It is not %1&apos;s turn</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙではありません</source>
        <translation>Not a bundle</translation>
    </message>
    <message>
        <source>この版のﾊﾞﾝﾄﾞﾙは読めません: %1</source>
        <translation>A bundle of this version cannot be read: %1</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙの見出しが読めません: %1 行目</source>
        <translation>The bundle&apos;s head cannot be read: line %1</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙに知らない部分があります: %1</source>
        <translation>The bundle has an unknown part: %1</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙに同じ部分が二つあります: %1</source>
        <translation>The bundle names a part twice: %1</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙが大きすぎます (%1 MBまで)</source>
        <translation>The bundle is too large (at most %1 MB)</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙにｾｰﾌﾞがありません</source>
        <translation>The bundle holds no save</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙが途中で切れています</source>
        <translation>The bundle is cut short</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙの終わりに余分なﾃﾞｰﾀがあります</source>
        <translation>The bundle has data left over at its end</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙの %1 が壊れています</source>
        <translation>The bundle&apos;s %1 is damaged</translation>
    </message>
    <message>
        <source>%1 (ﾈｯﾄﾜｰｸ)</source>
        <translation>%1 (network)</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦では戻れません</source>
        <translation>A network game cannot go back</translation>
    </message>
    <message>
        <source>ﾎｽﾄがこの命令を受け付けませんでした</source>
        <translation>The host did not take this command</translation>
    </message>
    <message>
        <source>ﾎｽﾄにつながっていません: 命令は送られませんでした</source>
        <translation>Not connected to the host: the command was not sent</translation>
    </message>
</context>
<context>
    <name>NetworkGame</name>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦(&amp;W)...</source>
        <translation>Net&amp;work Game...</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸの席がありません: 対戦設定で ﾈｯﾄﾜｰｸ を選んでください</source>
        <translation>No network seat: choose Network for a ruler in the seats</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦を開けませんでした
%1</source>
        <translation>The network game could not be opened
%1</translation>
    </message>
    <message>
        <source>招待を表示(&amp;V)...</source>
        <translation>Show In&amp;vitations...</translation>
    </message>
    <message>
        <source>残り %1 秒</source>
        <translation>%1 s left</translation>
    </message>
</context>
<context>
    <name>NetworkHostDialog</name>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦</source>
        <translation>Network Game</translation>
    </message>
    <message>
        <source>ﾎﾟｰﾄ(&amp;P)</source>
        <translation>&amp;Port</translation>
    </message>
    <message>
        <source>ほかのﾏｼﾝから参加できるようにする(&amp;O)</source>
        <translation>Let &amp;other machines join</translation>
    </message>
    <message>
        <source>切っていると、このﾏｼﾝからだけ参加できます。ws:// の通信は暗号化されません: 同じﾈｯﾄﾜｰｸのほかの人に読まれることがあります。</source>
        <translation>When off, players can join from this machine only. ws:// connections are not encrypted: others on the same network can read them.</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>手番の制限時間(&amp;T)</source>
        <translation>&amp;Time limit of a turn</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸの席の手番がこの時間を過ぎると、ﾎｽﾄがその席を休養させます</source>
        <translation>When a network seat&apos;s turn runs past this time, the host rests that seat</translation>
    </message>
</context>
<context>
    <name>NetworkJoin</name>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦に参加(&amp;J)...</source>
        <translation>&amp;Join a Network Game...</translation>
    </message>
    <message>
        <source>ﾎｽﾄの記録をたどれなくなりました
%1</source>
        <translation>The host&apos;s record can no longer be followed
%1</translation>
    </message>
    <message>
        <source>ﾎｽﾄがﾈｯﾄﾜｰｸ対戦を終えました</source>
        <translation>The host has ended the network game</translation>
    </message>
    <message>
        <source>ﾎｽﾄに接続しています...</source>
        <translation>Connecting to the host...</translation>
    </message>
    <message>
        <source>ﾎｽﾄのﾈｯﾄﾜｰｸ対戦の版 (%1) が、このﾌﾟﾛｸﾞﾗﾑの版 (%2) と違います: 同じ版のﾌﾟﾛｸﾞﾗﾑで参加してください</source>
        <translation>The host plays version %1 of the network game, this program version %2: join with the same version of the program</translation>
    </message>
    <message>
        <source>ﾎｽﾄのｼﾅﾘｵと国のﾃﾞｰﾀが、この画面のものと違います (ﾎｽﾄ %1…、この画面 %2…)</source>
        <translation>The host&apos;s scenario and country data differ from this screen&apos;s (the host %1…, this screen %2…)</translation>
    </message>
    <message>
        <source>招待が受け付けられませんでした: その席がないか、鍵が違います</source>
        <translation>The invitation was not accepted: the seat does not exist or the key is wrong</translation>
    </message>
    <message>
        <source>その席にはほかのﾌﾟﾚｲﾔｰが参加しています</source>
        <translation>Another player has taken that seat</translation>
    </message>
    <message>
        <source>ﾎｽﾄがこの招待を取り消しました</source>
        <translation>The host has revoked this invitation</translation>
    </message>
    <message>
        <source>同じ招待でほかの画面から参加したため、この画面の参加は終わりました</source>
        <translation>The same invitation joined from another screen, so this screen has left the game</translation>
    </message>
    <message>
        <source>ﾎｽﾄにつながりませんでした (%1)
招待の宛先とﾎﾟｰﾄ、ﾎｽﾄが開いているかを確かめてください</source>
        <translation>The host could not be reached (%1)
Check the invitation&apos;s address and port, and that the host has opened the game</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦</source>
        <translation>Network Game</translation>
    </message>
    <message>
        <source>ﾎｽﾄとの接続が切れました (%1)
同じ招待でもう一度参加できます: ｹﾞｰﾑは記録から追いつきます</source>
        <translation>The connection to the host was lost (%1)
You can join again with the same invitation: the game catches up from the record</translation>
    </message>
    <message>
        <source>再参加</source>
        <translation>Rejoin</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Leave</translation>
    </message>
    <message>
        <source>あなたの番です</source>
        <translation>Your turn</translation>
    </message>
    <message>
        <source>ﾛﾋﾞｰを表示(&amp;B)...</source>
        <translation>Show Lo&amp;bby...</translation>
    </message>
</context>
<context>
    <name>NetworkJoinDialog</name>
    <message>
        <source>ﾈｯﾄﾜｰｸ対戦に参加</source>
        <translation>Join a Network Game</translation>
    </message>
    <message>
        <source>ﾎｽﾄから届いた招待を貼り付けてください(&amp;I)</source>
        <translation>Paste the &amp;invitation the host sent you</translation>
    </message>
    <message>
        <source>参加</source>
        <translation>Join</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>招待には秘密の鍵が入っています: この画面のﾒﾓﾘにだけ置かれ、保存されません。</source>
        <translation>The invitation holds a secret key: it is kept in this screen&apos;s memory only, never saved.</translation>
    </message>
    <message>
        <source>招待の形ではありません (velcor://HOST:PORT#seat=R&amp;key=...)</source>
        <translation>Not an invitation (velcor://HOST:PORT#seat=R&amp;key=...)</translation>
    </message>
</context>
<context>
    <name>OwnCountriesWindow</name>
    <message>
        <source>可</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>命令済み</source>
        <translation>Done this turn</translation>
    </message>
    <message>
        <source>自国一覧</source>
        <translation>Own countries</translation>
    </message>
    <message>
        <source>番</source>
        <translation>Turn</translation>
    </message>
    <message>
        <source>できる命令</source>
        <translation>Can also</translation>
    </message>
</context>
<context>
    <name>RulerTable</name>
    <message>
        <source>担当</source>
        <translation>Played by</translation>
    </message>
</context>
<context>
    <name>SeatMenu</name>
    <message>
        <source>%1の担当: %2</source>
        <translation>%1 played by: %2</translation>
    </message>
    <message>
        <source>ﾌﾟﾚｲする君主がいません</source>
        <translation>No ruler is played by a person</translation>
    </message>
    <message>
        <source>ﾌﾟﾚｲﾔｰ(&amp;P)</source>
        <translation>&amp;Players</translation>
    </message>
</context>
<context>
    <name>SeatsDialog</name>
    <message>
        <source>COM 易しい</source>
        <translation>CPU easy</translation>
    </message>
    <message>
        <source>COM 普通</source>
        <translation>CPU normal</translation>
    </message>
    <message>
        <source>COM 難しい</source>
        <translation>CPU hard</translation>
    </message>
    <message>
        <source>COM 達人</source>
        <translation>CPU master</translation>
    </message>
    <message>
        <source>対戦設定</source>
        <translation>Players</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>君主ごとに、ﾌﾟﾚｲする人 (%1人まで) か COM の強さを選んでください</source>
        <translation>For each ruler, a player (up to %1) or the computer and its level</translation>
    </message>
    <message>
        <source>ﾌﾟﾚｲﾔｰ</source>
        <translation>Player</translation>
    </message>
    <message>
        <source>観戦: COM 同士の戦いを見ます</source>
        <translation>Watching: the computers play each other</translation>
    </message>
    <message>
        <source>1人でﾌﾟﾚｲします</source>
        <translation>One player</translation>
    </message>
    <message>
        <source>%1人が交代でﾌﾟﾚｲします</source>
        <translation>%1 players take turns</translation>
    </message>
    <message>
        <source>ﾌﾟﾚｲする人は%1人までです</source>
        <translation>At most %1 players</translation>
    </message>
    <message>
        <source>助言</source>
        <translation>Advisor</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ</source>
        <translation>Network</translation>
    </message>
</context>
<context>
    <name>StartPanel</name>
    <message>
        <source>ｹﾞｰﾑ開始</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>自動ｾｰﾌﾞから再開  %1</source>
        <translation>Resume  %1</translation>
    </message>
    <message>
        <source>ﾛｰﾄﾞ</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>最近のｹﾞｰﾑ</source>
        <translation>Recent games</translation>
    </message>
</context>
<context>
    <name>StatusPanel</name>
    <message>
        <source>国名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>人口</source>
        <translation>Pop.</translation>
    </message>
    <message>
        <source>開墾</source>
        <translation>Farm</translation>
    </message>
    <message>
        <source>商業</source>
        <translation>Trade</translation>
    </message>
    <message>
        <source>兵糧</source>
        <translation>Food</translation>
    </message>
    <message>
        <source>資金</source>
        <translation>Gold</translation>
    </message>
    <message>
        <source>兵士</source>
        <translation>Army</translation>
    </message>
    <message>
        <source>訓練</source>
        <translation>Trn.</translation>
    </message>
    <message>
        <source>%1の番</source>
        <translation>%1&apos;s turn</translation>
    </message>
    <message>
        <source>%1 年 %2 月</source>
        <translation>Month %2, %1</translation>
    </message>
    <message>
        <source>【%1】%2</source>
        <translation>[%1] %2</translation>
    </message>
</context>
<context>
    <name>TemplateDialog</name>
    <message>
        <source>整数を入力してください。</source>
        <translation>Please enter a whole number.</translation>
    </message>
</context>
<context>
    <name>ViewOptions</name>
    <message>
        <source>拡大(&amp;Z)</source>
        <translation>&amp;Zoom</translation>
    </message>
    <message>
        <source>大きく(&amp;I)</source>
        <translation>Zoom &amp;in</translation>
    </message>
    <message>
        <source>小さく(&amp;O)</source>
        <translation>Zoom &amp;out</translation>
    </message>
    <message>
        <source>速度(&amp;S)</source>
        <translation>&amp;Speed</translation>
    </message>
    <message>
        <source>標準(&amp;N)</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>速い(&amp;F)</source>
        <translation>&amp;Fast</translation>
    </message>
    <message>
        <source>最速(&amp;M)</source>
        <translation>Fa&amp;stest</translation>
    </message>
    <message>
        <source>模様で区別(&amp;P)</source>
        <translation>Ruler &amp;patterns</translation>
    </message>
    <message>
        <source>先月の戦い(&amp;B)</source>
        <translation>Last month&apos;s &amp;battles</translation>
    </message>
    <message>
        <source>自国一覧(&amp;O)</source>
        <translation>&amp;Own countries</translation>
    </message>
    <message>
        <source>%1 倍</source>
        <translation>%1x</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ｾｰﾌﾞがありません</source>
        <translation>No saved games</translation>
    </message>
    <message>
        <source>ｾｰﾌﾞをﾀﾞｳﾝﾛｰﾄﾞ(&amp;D)</source>
        <translation>&amp;Download the save</translation>
    </message>
    <message>
        <source>記録をﾀﾞｳﾝﾛｰﾄﾞ(&amp;R)</source>
        <translation>Download the &amp;record</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙを開く(&amp;O)...</source>
        <translation>&amp;Open files...</translation>
    </message>
    <message>
        <source>ﾌﾞﾗｳｻﾞの保存領域がいっぱいです</source>
        <translation>The browser&apos;s storage is full</translation>
    </message>
    <message>
        <source>ﾌﾞﾗｳｻﾞに保存できません</source>
        <translation>The browser does not let the page store it</translation>
    </message>
    <message>
        <source>ほかのﾀﾌﾞのｹﾞｰﾑが自動ｾｰﾌﾞを使っているため、このﾀﾌﾞでは自動ｾｰﾌﾞしません</source>
        <translation>The game in another tab keeps the autosaves: this tab does not autosave</translation>
    </message>
    <message>
        <source>国の一覧</source>
        <translation>Countries</translation>
    </message>
    <message>
        <source>隣国: %1</source>
        <translation>Neighbours: %1</translation>
    </message>
    <message>
        <source>お知らせ</source>
        <translation>Announcements</translation>
    </message>
    <message>
        <source>ﾊｲｺﾝﾄﾗｽﾄ(&amp;H)</source>
        <translation>&amp;High contrast</translation>
    </message>
    <message>
        <source>国の一覧へ移る</source>
        <translation>Go to the list of countries</translation>
    </message>
    <message>
        <source>最後のお知らせを繰り返す</source>
        <translation>Repeat the last announcement</translation>
    </message>
    <message>
        <source>最後の戦いの経過を聞く</source>
        <translation>Hear the rounds of the last battle</translation>
    </message>
    <message>
        <source>ﾊﾞﾝﾄﾞﾙをﾀﾞｳﾝﾛｰﾄﾞ(&amp;B)</source>
        <translation>Download the &amp;bundle</translation>
    </message>
</context>
<context>
    <name>chronicle</name>
    <message>
        <source>%1 は %2 で</source>
        <translation>In %2, %1 </translation>
    </message>
    <message>
        <source>開墾しました (開墾 %1)</source>
        <translation>developed farmland (farmland %1)</translation>
    </message>
    <message>
        <source>商業を発展させました (商業 %1)</source>
        <translation>developed trade (trade %1)</translation>
    </message>
    <message>
        <source>徴兵しました (兵士 %1)</source>
        <translation>drafted troops (troops %1)</translation>
    </message>
    <message>
        <source>訓練しました (訓練 %1)</source>
        <translation>trained the troops (training %1)</translation>
    </message>
    <message>
        <source>%1 が %2 から %3 に攻め込み</source>
        <translation>%1 attacked %3 from %2</translation>
    </message>
    <message>
        <source> (兵士 %1→%2 / %3→%4)</source>
        <translation> (troops %1→%2 / %3→%4)</translation>
    </message>
    <message>
        <source>、占領しました</source>
        <translation> and took it</translation>
    </message>
    <message>
        <source>ましたが、撃退されました</source>
        <translation> but was driven back</translation>
    </message>
    <message>
        <source>%1 年 %2 月</source>
        <translation>Year %1, month %2</translation>
    </message>
    <message>
        <source>ﾛｰﾄﾞしました (%1)</source>
        <translation>Game loaded (%1)</translation>
    </message>
    <message>
        <source>%1 としてｹﾞｰﾑを開始しました</source>
        <translation>New game as %1</translation>
    </message>
    <message>
        <source>%1 は %2 から %3 へ物資を移動しました (兵士 %4 兵糧 %5 資金 %6)</source>
        <translation>%1 moved supplies from %2 to %3 (troops %4, food %5, gold %6)</translation>
    </message>
    <message>
        <source>%1 は滅亡しました</source>
        <translation>%1 has fallen</translation>
    </message>
    <message>
        <source>%1 の収穫: 兵糧 +%2</source>
        <translation>%1&apos;s harvest: food +%2</translation>
    </message>
    <message>
        <source>%1 の税収: 資金 +%2</source>
        <translation>%1&apos;s taxes: gold +%2</translation>
    </message>
    <message>
        <source>中国全土を統一しました</source>
        <translation>All China is unified</translation>
    </message>
    <message>
        <source>ゲームオーバーです</source>
        <translation>Game over</translation>
    </message>
    <message>
        <source>%1 は %2 を占領しました</source>
        <translation>%1 took %2</translation>
    </message>
    <message>
        <source>・</source>
        <translation>• </translation>
    </message>
    <message>
        <source>戦況記録</source>
        <translation>Chronicle</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>推移</source>
        <translation>Holdings</translation>
    </message>
    <message>
        <source>勢力</source>
        <translation>Rulers</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>Everything</translation>
    </message>
    <message>
        <source>戦争と占領</source>
        <translation>Wars and conquests</translation>
    </message>
    <message>
        <source>自国に関すること</source>
        <translation>My countries</translation>
    </message>
    <message>
        <source>戦況報告</source>
        <translation>Turn report</translation>
    </message>
    <message>
        <source>前回の手番からの出来事</source>
        <translation>Since your last turn</translation>
    </message>
    <message>
        <source>毎手番表示する</source>
        <translation>Show every turn</translation>
    </message>
    <message>
        <source>画像として保存(&amp;S)...</source>
        <translation>&amp;Save as picture...</translation>
    </message>
    <message>
        <source>推移を保存</source>
        <translation>Save the holdings</translation>
    </message>
    <message>
        <source>画像を保存できませんでした
%1</source>
        <translation>The picture could not be saved
%1</translation>
    </message>
    <message>
        <source>戦況記録をセーブできませんでした
%1
%2</source>
        <translation>The chronicle could not be saved
%1
%2</translation>
    </message>
    <message>
        <source>君主</source>
        <translation>Ruler</translation>
    </message>
    <message>
        <source>国数</source>
        <translation>Countries</translation>
    </message>
    <message>
        <source>兵士</source>
        <translation>Troops</translation>
    </message>
    <message>
        <source>兵糧</source>
        <translation>Food</translation>
    </message>
    <message>
        <source>資金</source>
        <translation>Gold</translation>
    </message>
    <message>
        <source>年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>戦況記録の古い %1 件を消しました (上限 %2 件)</source>
        <translation>Chronicle: oldest %1 events removed (max %2)</translation>
    </message>
    <message>
        <source>戦況記録を無視しました: %1</source>
        <translation>Chronicle ignored: %1</translation>
    </message>
    <message>
        <source>%1 は %2 から兵を進め、戦わずに %3 を占領しました</source>
        <translation>%1 marched from %2 and took %3 without a fight</translation>
    </message>
    <message>
        <source>ましたが、%1 回の攻防で攻め落とせず退きました</source>
        <translation> but was beaten off after %1 exchanges</translation>
    </message>
    <message>
        <source>乱世 (種 %1) で %2 としてｹﾞｰﾑを開始しました</source>
        <translation>Began a game of Chaos (seed %1) as %2</translation>
    </message>
    <message>
        <source>ﾛｰﾄﾞしました (観戦)</source>
        <translation>Game loaded (watched)</translation>
    </message>
    <message>
        <source>観戦を開始しました</source>
        <translation>Started watching the computers play</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>: </source>
        <translation>: </translation>
    </message>
    <message>
        <source>。</source>
        <translation>. </translation>
    </message>
</context>
<context>
    <name>editor::FairnessPanel</name>
    <message>
        <source>助言した場合を計測中... %1 / %2 試合</source>
        <translation>Measuring advised games... %1 / %2</translation>
    </message>
    <message>
        <source>計測中... %1 / %2 試合</source>
        <translation>Measuring... %1 / %2 games</translation>
    </message>
    <message>
        <source>変更から %1 秒で計測しました</source>
        <translation>Measured %1 s after the change</translation>
    </message>
    <message>
        <source>○</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>×</source>
        <translation>no</translation>
    </message>
    <message>
        <source>全体</source>
        <translation>All</translation>
    </message>
    <message>
        <source>選べる君主がいません</source>
        <translation>No ruler is offered</translation>
    </message>
    <message>
        <source>公平です: すべての目標に届いています</source>
        <translation>Fair: every target is met</translation>
    </message>
    <message>
        <source>公平ではありません: %1か月以内に国が奪われる試合が足りません</source>
        <translation>Not fair: too few games with a capture within %1 months</translation>
    </message>
    <message>
        <source>公平ではありません: 目標に届かない君主 %1 人</source>
        <translation>Not fair: %1 ruler(s) miss a target</translation>
    </message>
    <message>
        <source>公平さ: 選べる君主ごとに、休み続けた %1 試合の %2 か月</source>
        <translation>Fairness: %1 games of %2 months for each ruler offered, the player resting</translation>
    </message>
    <message>
        <source>君主</source>
        <translation>Ruler</translation>
    </message>
    <message>
        <source>初手で
開戦</source>
        <translation>War at
once</translation>
    </message>
    <message>
        <source>生存
(%1か月)</source>
        <translation>Alive
(%1 mo.)</translation>
    </message>
    <message>
        <source>月数
(中央値)</source>
        <translation>Months
(median)</translation>
    </message>
    <message>
        <source>占領
(%1か月)</source>
        <translation>Capture
(%1 mo.)</translation>
    </message>
    <message>
        <source>助言
生存</source>
        <translation>Advised
alive</translation>
    </message>
    <message>
        <source>助言
月数</source>
        <translation>Advised
months</translation>
    </message>
    <message>
        <source>赤は目標に届かないもの: 初手で開戦できる、%1か月後の生存 %2 以上、全体で %3か月以内の占領 %4 以上。助言は、毎ﾀｰﾝ助言の一位の命令を出した %5 試合。</source>
        <translation>Red marks a missed target: war possible at once, alive after %1 months in at least %2, a capture within %3 months in at least %4 of all games. Advised: %5 games with the advice&apos;s first command given at every turn.</translation>
    </message>
    <message>
        <source>助言した場合も計る(&amp;A) (遅い)</source>
        <translation>Measure &amp;advised games too (slow)</translation>
    </message>
</context>
<context>
    <name>editor::ScenarioEditor</name>
    <message>
        <source>「%1」はもうあります。置き換えますか？</source>
        <translation>&quot;%1&quot; already exists. Replace it?</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>ｼﾅﾘｵ</source>
        <translation>Scenario</translation>
    </message>
    <message>
        <source>名前(&amp;N)</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>開始(&amp;D)</source>
        <translation>Start &amp;date</translation>
    </message>
    <message>
        <source>年</source>
        <translation> (year)</translation>
    </message>
    <message>
        <source>月</source>
        <translation> (month)</translation>
    </message>
    <message>
        <source>選べる君主(&amp;L): 印をつけた順に君主選択に並ぶ (最大 %1 人)</source>
        <translation>Ru&amp;lers offered, in the order ticked (at most %1)</translation>
    </message>
    <message>
        <source>前へ (Ctrl+↑)</source>
        <translation>Earlier (Ctrl+Up)</translation>
    </message>
    <message>
        <source>後へ (Ctrl+↓)</source>
        <translation>Later (Ctrl+Down)</translation>
    </message>
    <message>
        <source>君主(&amp;R)</source>
        <translation>&amp;Ruler</translation>
    </message>
    <message>
        <source>地図: クリックか矢印キーで国を選び、Enter で君主の欄へ。Esc で地図へ戻る。</source>
        <translation>Map: click or use the arrow keys to choose a country, Enter to go to its ruler. Esc returns to the map.</translation>
    </message>
    <message>
        <source>ｼﾅﾘｵ%1</source>
        <translation>Scenario %1</translation>
    </message>
    <message>
        <source>「%1」を開きました</source>
        <translation>Opened &quot;%1&quot;</translation>
    </message>
    <message>
        <source>このｼﾅﾘｵではｹﾞｰﾑを始められません
%1</source>
        <translation>No game can start from this scenario
%1</translation>
    </message>
    <message>
        <source>保存できませんでした
%1</source>
        <translation>Could not save
%1</translation>
    </message>
    <message>
        <source>「%1」を保存しました: %2</source>
        <translation>Saved &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>国 %1 %2</source>
        <translation>Country %1 %2</translation>
    </message>
    <message>
        <source>国 %1</source>
        <translation>Countries: %1</translation>
    </message>
    <message>
        <source>選べる君主は %1 人までです</source>
        <translation>At most %1 rulers can be offered</translation>
    </message>
    <message>
        <source>(名前なし)</source>
        <translation>(no name)</translation>
    </message>
    <message>
        <source>ｼﾅﾘｵ編集 - %1%2</source>
        <translation>Scenario editor - %1%2</translation>
    </message>
    <message>
        <source>ｼﾅﾘｵ編集(&amp;E)...</source>
        <translation>Scenario &amp;editor...</translation>
    </message>
    <message>
        <source>ｼﾅﾘｵ「%1」の変更は保存されていません。保存しますか？</source>
        <translation>The changes to the scenario &quot;%1&quot; are not saved. Save them?</translation>
    </message>
</context>
<context>
    <name>summary</name>
    <message>
        <source>易しい</source>
        <translation>Easy</translation>
    </message>
    <message>
        <source>難しい</source>
        <translation>Hard</translation>
    </message>
    <message>
        <source>普通</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>ゲーム途中</source>
        <translation>Unfinished</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>%1年</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>達人</source>
        <translation>Master</translation>
    </message>
    <message>
        <source>・</source>
        <translation> / </translation>
    </message>
</context>
</TS>
