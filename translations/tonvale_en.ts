<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutLinks</name>
    <message>
        <source>tonvale@tonvale.org</source>
        <translation>tonvale@tonvale.org</translation>
    </message>
    <message>
        <source>https://tonvale.org/</source>
        <translation>https://tonvale.org/en/</translation>
    </message>
    <message>
        <source>https://sourceforge.net/projects/tonvale/</source>
        <translation>https://sourceforge.net/projects/tonvale/</translation>
    </message>
    <message>
        <source>https://tonvale.org/download/tonvale-1.0.tar.gz</source>
        <translation>https://tonvale.org/download/tonvale-1.0.tar.gz</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>未命名</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>保存当前的变化在 %s?</source>
        <translation>Save the changes to %s?</translation>
    </message>
    <message>
        <source>QVI Files(*.QVI)</source>
        <translation>Tonvale Recordings (*.qvi)</translation>
    </message>
    <message>
        <source>Midi Files(*.MID)</source>
        <translation>MIDI Files (*.mid)</translation>
    </message>
</context>
<context>
    <name>EventLists</name>
    <message>
        <source>内存分配错误.</source>
        <translation>Out of memory.</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>不能找到或打开文件%s.</source>
        <translation>Cannot find or open the file %s.</translation>
    </message>
    <message>
        <source>文件%s不是标准的Tonvale文件.</source>
        <translation>The file %s is not a Tonvale recording.</translation>
    </message>
    <message>
        <source>文件%s不是被支持的Tonvale文件.</source>
        <translation>The file %s is not a supported Tonvale recording.</translation>
    </message>
    <message>
        <source>不能读取文件%s.</source>
        <translation>Cannot read the file %s.</translation>
    </message>
    <message>
        <source>不能创建文件%s.</source>
        <translation>Cannot create the file %s.</translation>
    </message>
    <message>
        <source>不能写入文件%s.</source>
        <translation>Cannot write the file %s.</translation>
    </message>
</context>
<context>
    <name>Instrument</name>
    <message>
        <source>三角钢琴</source>
        <translation>Acoustic Grand Piano</translation>
    </message>
    <message>
        <source>亮音钢琴</source>
        <translation>Bright Acoustic Piano</translation>
    </message>
    <message>
        <source>电子三角钢琴</source>
        <translation>Electric Grand Piano</translation>
    </message>
    <message>
        <source>白鬼子钢琴</source>
        <translation>Honky-tonk Piano</translation>
    </message>
    <message>
        <source>Rbodes钢琴</source>
        <translation>Electric Piano 1</translation>
    </message>
    <message>
        <source>合唱钢琴</source>
        <translation>Electric Piano 2</translation>
    </message>
    <message>
        <source>大键琴</source>
        <translation>Harpsichord</translation>
    </message>
    <message>
        <source>Clavinet</source>
        <translation>Clavi</translation>
    </message>
    <message>
        <source>钢片琴</source>
        <translation>Celesta</translation>
    </message>
    <message>
        <source>钟琴</source>
        <translation>Glockenspiel</translation>
    </message>
    <message>
        <source>音乐盒</source>
        <translation>Music Box</translation>
    </message>
    <message>
        <source>电颤琴</source>
        <translation>Vibraphone</translation>
    </message>
    <message>
        <source>木琴</source>
        <translation>Marimba</translation>
    </message>
    <message>
        <source>Xylophone木琴</source>
        <translation>Xylophone</translation>
    </message>
    <message>
        <source>管钟</source>
        <translation>Tubular Bells</translation>
    </message>
    <message>
        <source>洋琴</source>
        <translation>Dulcimer</translation>
    </message>
    <message>
        <source>电子风琴</source>
        <translation>Drawbar Organ</translation>
    </message>
    <message>
        <source>敲击风琴</source>
        <translation>Percussive Organ</translation>
    </message>
    <message>
        <source>摇滚风琴</source>
        <translation>Rock Organ</translation>
    </message>
    <message>
        <source>教堂风琴</source>
        <translation>Church Organ</translation>
    </message>
    <message>
        <source>簧风琴</source>
        <translation>Reed Organ</translation>
    </message>
    <message>
        <source>Accordian</source>
        <translation>Accordion</translation>
    </message>
    <message>
        <source>口琴</source>
        <translation>Harmonica</translation>
    </message>
    <message>
        <source>探戈Accordian</source>
        <translation>Tango Accordion</translation>
    </message>
    <message>
        <source>吉他(尼龙)</source>
        <translation>Acoustic Guitar (nylon)</translation>
    </message>
    <message>
        <source>吉他(金属)</source>
        <translation>Acoustic Guitar (steel)</translation>
    </message>
    <message>
        <source>电吉他(爵士乐)</source>
        <translation>Electric Guitar (jazz)</translation>
    </message>
    <message>
        <source>电吉他(clean)</source>
        <translation>Electric Guitar (clean)</translation>
    </message>
    <message>
        <source>电吉他(弱音)</source>
        <translation>Electric Guitar (muted)</translation>
    </message>
    <message>
        <source>超速吉他</source>
        <translation>Overdriven Guitar</translation>
    </message>
    <message>
        <source>扭曲吉他</source>
        <translation>Distortion Guitar</translation>
    </message>
    <message>
        <source>和声吉他</source>
        <translation>Guitar harmonics</translation>
    </message>
    <message>
        <source>Bass</source>
        <translation>Acoustic Bass</translation>
    </message>
    <message>
        <source>电Bass(手指弹)</source>
        <translation>Electric Bass (finger)</translation>
    </message>
    <message>
        <source>电Bass(金属片拨)</source>
        <translation>Electric Bass (pick)</translation>
    </message>
    <message>
        <source>Fretless Bass</source>
        <translation>Fretless Bass</translation>
    </message>
    <message>
        <source>拍击 Bass 1</source>
        <translation>Slap Bass 1</translation>
    </message>
    <message>
        <source>拍击 Bass 2</source>
        <translation>Slap Bass 2</translation>
    </message>
    <message>
        <source>合成器 Bass 1</source>
        <translation>Synth Bass 1</translation>
    </message>
    <message>
        <source>合成器 Bass 2</source>
        <translation>Synth Bass 2</translation>
    </message>
    <message>
        <source>小提琴</source>
        <translation>Violin</translation>
    </message>
    <message>
        <source>中提琴</source>
        <translation>Viola</translation>
    </message>
    <message>
        <source>大提琴</source>
        <translation>Cello</translation>
    </message>
    <message>
        <source>低音大提琴</source>
        <translation>Contrabass</translation>
    </message>
    <message>
        <source>颤音弦</source>
        <translation>Tremolo Strings</translation>
    </message>
    <message>
        <source>指弹弦</source>
        <translation>Pizzicato Strings</translation>
    </message>
    <message>
        <source>管弦乐队竖琴</source>
        <translation>Orchestral Harp</translation>
    </message>
    <message>
        <source>定音鼓</source>
        <translation>Timpani</translation>
    </message>
    <message>
        <source>弦乐器合奏 1</source>
        <translation>String Ensemble 1</translation>
    </message>
    <message>
        <source>弦乐器合奏 2</source>
        <translation>String Ensemble 2</translation>
    </message>
    <message>
        <source>弦乐合成器 1</source>
        <translation>SynthStrings 1</translation>
    </message>
    <message>
        <source>弦乐合成器 2</source>
        <translation>SynthStrings 2</translation>
    </message>
    <message>
        <source>唱诗班Aashs</source>
        <translation>Choir Aahs</translation>
    </message>
    <message>
        <source>惊讶声</source>
        <translation>Voice Oohs</translation>
    </message>
    <message>
        <source>嗓音合成器</source>
        <translation>Synth Voice</translation>
    </message>
    <message>
        <source>管弦乐队打击乐</source>
        <translation>Orchestra Hit</translation>
    </message>
    <message>
        <source>喇叭</source>
        <translation>Trumpet</translation>
    </message>
    <message>
        <source>长号</source>
        <translation>Trombone</translation>
    </message>
    <message>
        <source>大号</source>
        <translation>Tuba</translation>
    </message>
    <message>
        <source>弱音喇叭</source>
        <translation>Muted Trumpet</translation>
    </message>
    <message>
        <source>法国号</source>
        <translation>French Horn</translation>
    </message>
    <message>
        <source>铜片</source>
        <translation>Brass Section</translation>
    </message>
    <message>
        <source>铜管乐合成器 1</source>
        <translation>SynthBrass 1</translation>
    </message>
    <message>
        <source>铜管乐合成器 2</source>
        <translation>SynthBrass 2</translation>
    </message>
    <message>
        <source>高音萨克斯</source>
        <translation>Soprano Sax</translation>
    </message>
    <message>
        <source>中音萨克斯</source>
        <translation>Alto Sax</translation>
    </message>
    <message>
        <source>次中音萨克斯</source>
        <translation>Tenor Sax</translation>
    </message>
    <message>
        <source>低音萨克斯</source>
        <translation>Baritone Sax</translation>
    </message>
    <message>
        <source>双簧管</source>
        <translation>Oboe</translation>
    </message>
    <message>
        <source>英国号</source>
        <translation>English Horn</translation>
    </message>
    <message>
        <source>低音管</source>
        <translation>Bassoon</translation>
    </message>
    <message>
        <source>单簧管</source>
        <translation>Clarinet</translation>
    </message>
    <message>
        <source>短笛</source>
        <translation>Piccolo</translation>
    </message>
    <message>
        <source>长笛</source>
        <translation>Flute</translation>
    </message>
    <message>
        <source>录音机</source>
        <translation>Recorder</translation>
    </message>
    <message>
        <source>潘长笛</source>
        <translation>Pan Flute</translation>
    </message>
    <message>
        <source>瓶吹</source>
        <translation>Blown Bottle</translation>
    </message>
    <message>
        <source>尺八（日本）</source>
        <translation>Shakuhachi</translation>
    </message>
    <message>
        <source>口哨</source>
        <translation>Whistle</translation>
    </message>
    <message>
        <source>奥卡利那笛</source>
        <translation>Ocarina</translation>
    </message>
    <message>
        <source>主音 1(广场)</source>
        <translation>Lead 1 (square)</translation>
    </message>
    <message>
        <source>主音 2(锯齿)</source>
        <translation>Lead 2 (sawtooth)</translation>
    </message>
    <message>
        <source>主音 3(caliope lead)</source>
        <translation>Lead 3 (calliope)</translation>
    </message>
    <message>
        <source>主音 4(chiff lead)</source>
        <translation>Lead 4 (chiff)</translation>
    </message>
    <message>
        <source>主音 5(charang)</source>
        <translation>Lead 5 (charang)</translation>
    </message>
    <message>
        <source>主音 6(嗓音)</source>
        <translation>Lead 6 (voice)</translation>
    </message>
    <message>
        <source>主音 7(第五)</source>
        <translation>Lead 7 (fifths)</translation>
    </message>
    <message>
        <source>主音 8(brass+lead)</source>
        <translation>Lead 8 (bass + lead)</translation>
    </message>
    <message>
        <source>辅助 1(新时代)</source>
        <translation>Pad 1 (new age)</translation>
    </message>
    <message>
        <source>辅助 2(热烈)</source>
        <translation>Pad 2 (warm)</translation>
    </message>
    <message>
        <source>辅助 3(多合成器)</source>
        <translation>Pad 3 (polysynth)</translation>
    </message>
    <message>
        <source>辅助 4(唱诗班)</source>
        <translation>Pad 4 (choir)</translation>
    </message>
    <message>
        <source>辅助 5(bowed)</source>
        <translation>Pad 5 (bowed)</translation>
    </message>
    <message>
        <source>辅助 6(金属的)</source>
        <translation>Pad 6 (metallic)</translation>
    </message>
    <message>
        <source>辅助 7(光环)</source>
        <translation>Pad 7 (halo)</translation>
    </message>
    <message>
        <source>辅助 8(扫除)</source>
        <translation>Pad 8 (sweep)</translation>
    </message>
    <message>
        <source>FX 1(雨)</source>
        <translation>FX 1 (rain)</translation>
    </message>
    <message>
        <source>FX 2(声迹)</source>
        <translation>FX 2 (soundtrack)</translation>
    </message>
    <message>
        <source>FX 3(水晶)</source>
        <translation>FX 3 (crystal)</translation>
    </message>
    <message>
        <source>FX 4(气氛)</source>
        <translation>FX 4 (atmosphere)</translation>
    </message>
    <message>
        <source>FX 5(智慧)</source>
        <translation>FX 5 (brightness)</translation>
    </message>
    <message>
        <source>FX 6(小妖精)</source>
        <translation>FX 6 (goblins)</translation>
    </message>
    <message>
        <source>FX 7(回音)</source>
        <translation>FX 7 (echoes)</translation>
    </message>
    <message>
        <source>FX 8(科幻)</source>
        <translation>FX 8 (sci-fi)</translation>
    </message>
    <message>
        <source>锡塔尔琴（印度）</source>
        <translation>Sitar</translation>
    </message>
    <message>
        <source>班桌琴</source>
        <translation>Banjo</translation>
    </message>
    <message>
        <source>Shamisen</source>
        <translation>Shamisen</translation>
    </message>
    <message>
        <source>十三弦古筝（日）</source>
        <translation>Koto</translation>
    </message>
    <message>
        <source>克林巴琴（非洲）</source>
        <translation>Kalimba</translation>
    </message>
    <message>
        <source>风笛</source>
        <translation>Bag pipe</translation>
    </message>
    <message>
        <source>Fiddle小提琴</source>
        <translation>Fiddle</translation>
    </message>
    <message>
        <source>Shanai</source>
        <translation>Shanai</translation>
    </message>
    <message>
        <source>叮当</source>
        <translation>Tinkle Bell</translation>
    </message>
    <message>
        <source>Agogo</source>
        <translation>Agogo</translation>
    </message>
    <message>
        <source>钢鼓</source>
        <translation>Steel Drums</translation>
    </message>
    <message>
        <source>木板</source>
        <translation>Woodblock</translation>
    </message>
    <message>
        <source>阳坡鼓</source>
        <translation>Taiko Drum</translation>
    </message>
    <message>
        <source>Melodic Tom</source>
        <translation>Melodic Tom</translation>
    </message>
    <message>
        <source>鼓合成器</source>
        <translation>Synth Drum</translation>
    </message>
    <message>
        <source>反铙钹</source>
        <translation>Reverse Cymbal</translation>
    </message>
    <message>
        <source>吉他噪音</source>
        <translation>Guitar Fret Noise</translation>
    </message>
    <message>
        <source>呼吸声</source>
        <translation>Breath Noise</translation>
    </message>
    <message>
        <source>海岸</source>
        <translation>Seashore</translation>
    </message>
    <message>
        <source>鸟叫</source>
        <translation>Bird Tweet</translation>
    </message>
    <message>
        <source>电话铃</source>
        <translation>Telephone Ring</translation>
    </message>
    <message>
        <source>直升飞机</source>
        <translation>Helicopter</translation>
    </message>
    <message>
        <source>鼓掌</source>
        <translation>Applause</translation>
    </message>
    <message>
        <source>枪声</source>
        <translation>Gunshot</translation>
    </message>
</context>
<context>
    <name>InstrumentFamily</name>
    <message>
        <source>钢琴</source>
        <translation>Piano</translation>
    </message>
    <message>
        <source>半音打击乐器</source>
        <translation>Chromatic Percussion</translation>
    </message>
    <message>
        <source>风琴</source>
        <translation>Organ</translation>
    </message>
    <message>
        <source>吉他</source>
        <translation>Guitar</translation>
    </message>
    <message>
        <source>Bass</source>
        <translation>Bass</translation>
    </message>
    <message>
        <source>弦乐器</source>
        <translation>Strings</translation>
    </message>
    <message>
        <source>合奏</source>
        <translation>Ensemble</translation>
    </message>
    <message>
        <source>铜管乐器</source>
        <translation>Brass</translation>
    </message>
    <message>
        <source>芦笛</source>
        <translation>Reed</translation>
    </message>
    <message>
        <source>笛</source>
        <translation>Pipe</translation>
    </message>
    <message>
        <source>主音合成器</source>
        <translation>Synth Lead</translation>
    </message>
    <message>
        <source>辅助合成器</source>
        <translation>Synth Pad</translation>
    </message>
    <message>
        <source>效果合成器</source>
        <translation>Synth Effects</translation>
    </message>
    <message>
        <source>民族乐器</source>
        <translation>Ethnic</translation>
    </message>
    <message>
        <source>打击乐器</source>
        <translation>Percussive</translation>
    </message>
    <message>
        <source>音效</source>
        <translation>Sound Effects</translation>
    </message>
</context>
<context>
    <name>MenuBar</name>
    <message>
        <source> C大调	  Alt+C</source>
        <translation>C major	  Alt+C</translation>
    </message>
    <message>
        <source> D大调	  Alt+D</source>
        <translation>D major	  Alt+D</translation>
    </message>
    <message>
        <source> E大调	  Alt+E</source>
        <translation>E major	  Alt+E</translation>
    </message>
    <message>
        <source> F大调	  Alt+F</source>
        <translation>F major	  Alt+F</translation>
    </message>
    <message>
        <source> G大调	  Alt+G</source>
        <translation>G major	  Alt+G</translation>
    </message>
    <message>
        <source> A大调	  Alt+A</source>
        <translation>A major	  Alt+A</translation>
    </message>
    <message>
        <source> B大调	  Alt+B</source>
        <translation>B major	  Alt+B</translation>
    </message>
    <message>
        <source>#F大调	  Alt+H</source>
        <translation>F# major	  Alt+H</translation>
    </message>
    <message>
        <source>#C大调	  Alt+I</source>
        <translation>C# major	  Alt+I</translation>
    </message>
    <message>
        <source>bB大调	  Alt+J</source>
        <translation>Bb major	  Alt+J</translation>
    </message>
    <message>
        <source>bE大调	  Alt+K</source>
        <translation>Eb major	  Alt+K</translation>
    </message>
    <message>
        <source>bA大调	  Alt+L</source>
        <translation>Ab major	  Alt+L</translation>
    </message>
    <message>
        <source> c小调	  Alt+M</source>
        <translation>C minor	  Alt+M</translation>
    </message>
    <message>
        <source> d小调	  Alt+N</source>
        <translation>D minor	  Alt+N</translation>
    </message>
    <message>
        <source> e小调	  Alt+P</source>
        <translation>E minor	  Alt+P</translation>
    </message>
    <message>
        <source> f小调	  Alt+Q</source>
        <translation>F minor	  Alt+Q</translation>
    </message>
    <message>
        <source> g小调	  Alt+R</source>
        <translation>G minor	  Alt+R</translation>
    </message>
    <message>
        <source> a小调	  Alt+T</source>
        <translation>A minor	  Alt+T</translation>
    </message>
    <message>
        <source> b小调	  Alt+U</source>
        <translation>B minor	  Alt+U</translation>
    </message>
    <message>
        <source>#f小调	  Alt+V</source>
        <translation>F# minor	  Alt+V</translation>
    </message>
    <message>
        <source>#c小调	  Alt+W</source>
        <translation>C# minor	  Alt+W</translation>
    </message>
    <message>
        <source>#g小调	  Alt+X</source>
        <translation>G# minor	  Alt+X</translation>
    </message>
    <message>
        <source>#d小调	  Alt+Y</source>
        <translation>D# minor	  Alt+Y</translation>
    </message>
    <message>
        <source>#a小调	  Alt+Z</source>
        <translation>A# minor	  Alt+Z</translation>
    </message>
    <message>
        <source>开始录制(&amp;R)</source>
        <translation>Start &amp;Recording</translation>
    </message>
    <message>
        <source>停止录制(&amp;E)</source>
        <translation>Stop R&amp;ecording</translation>
    </message>
    <message>
        <source>开始播放(&amp;P)</source>
        <translation>&amp;Play</translation>
    </message>
    <message>
        <source>循环播放(&amp;L)</source>
        <translation>Play in a &amp;Loop</translation>
    </message>
    <message>
        <source>停止播放(&amp;O)</source>
        <translation>St&amp;op Playing</translation>
    </message>
    <message>
        <source>保存录音文件(&amp;S)</source>
        <translation>&amp;Save Recording</translation>
    </message>
    <message>
        <source>录音文件另存为(&amp;A)</source>
        <translation>Save Recording &amp;As...</translation>
    </message>
    <message>
        <source>导出为Midi格式文件(&amp;C)</source>
        <translation>E&amp;xport as MIDI File...</translation>
    </message>
    <message>
        <source>载入录音文件(&amp;L)</source>
        <translation>Loa&amp;d Recording...</translation>
    </message>
    <message>
        <source>MIDI 设备 %1</source>
        <translation>MIDI device %1</translation>
    </message>
    <message>
        <source>开关(&amp;1)</source>
        <translation>&amp;1 Output</translation>
    </message>
    <message>
        <source>打开(&amp;O)	Alt+O</source>
        <translation>&amp;Open	Alt+O</translation>
    </message>
    <message>
        <source>关闭(&amp;C)	Alt+S</source>
        <translation>&amp;Close	Alt+S</translation>
    </message>
    <message>
        <source>乐器(&amp;2)</source>
        <translation>&amp;2 Instrument</translation>
    </message>
    <message>
        <source>调式(&amp;3)</source>
        <translation>&amp;3 Key</translation>
    </message>
    <message>
        <source>录音(&amp;4)</source>
        <translation>&amp;4 Recording</translation>
    </message>
    <message>
        <source>功能(&amp;5)</source>
        <translation>&amp;5 Options</translation>
    </message>
    <message>
        <source>自动增加低音(&amp;C)</source>
        <translation>Automati&amp;c Bass</translation>
    </message>
    <message>
        <source>设备(&amp;6)</source>
        <translation>&amp;6 Device</translation>
    </message>
    <message>
        <source>声道(&amp;7)</source>
        <translation>&amp;7 Channel</translation>
    </message>
    <message>
        <source>帮助(&amp;8)</source>
        <translation>&amp;8 Help</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About Tonvale</translation>
    </message>
    <message>
        <source>练习(&amp;9)</source>
        <translation>&amp;9 Practice</translation>
    </message>
    <message>
        <source>打开乐曲(&amp;O)...</source>
        <translation>&amp;Open Song...</translation>
    </message>
    <message>
        <source>开始练习(&amp;S)</source>
        <translation>&amp;Start Practice</translation>
    </message>
    <message>
        <source>停止练习(&amp;T)</source>
        <translation>S&amp;top Practice</translation>
    </message>
    <message>
        <source>关闭乐曲(&amp;C)</source>
        <translation>&amp;Close Song</translation>
    </message>
    <message>
        <source>跟弹(&amp;W)</source>
        <translation>&amp;Wait for Me</translation>
    </message>
    <message>
        <source>随拍(&amp;P)</source>
        <translation>&amp;Play Along</translation>
    </message>
    <message>
        <source>示范(&amp;L)</source>
        <translation>&amp;Listen</translation>
    </message>
    <message>
        <source>速度(&amp;V)</source>
        <translation>Spee&amp;d</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>保存文件%1时程序意外中断，是否恢复它原来的内容？</source>
        <translation>Tonvale stopped unexpectedly while saving the file %1. Restore what the file held before?</translation>
    </message>
    <message>
        <source>上次的录音没有保存，是否恢复？</source>
        <translation>The last recording was not saved. Recover it?</translation>
    </message>
</context>
<context>
    <name>SongError</name>
    <message>
        <source>不认识的记号</source>
        <translation>unknown symbol</translation>
    </message>
    <message>
        <source>一个词里有两个音（和弦），只能练单旋律</source>
        <translation>two notes in one word (a chord); only a single melody can be practised</translation>
    </message>
    <message>
        <source>打击乐记号 x 不能用键盘弹奏</source>
        <translation>the percussion mark x cannot be played on the keyboard</translation>
    </message>
    <message>
        <source>不支持 KeepLength</source>
        <translation>KeepLength is not supported</translation>
    </message>
    <message>
        <source>不支持 LilyPond 代码块 LP:</source>
        <translation>LilyPond blocks (LP:) are not supported</translation>
    </message>
    <message>
        <source>一个音只能有一个升降号</source>
        <translation>a note takes only one sharp or flat</translation>
    </message>
    <message>
        <source>一个音不能同时有高音点和低音点</source>
        <translation>a note cannot be marked both up and down an octave</translation>
    </message>
    <message>
        <source>休止符不能带升降号或高低音点</source>
        <translation>a rest takes no sharp, flat or octave mark</translation>
    </message>
    <message>
        <source>时值太短，最多三条减时线</source>
        <translation>too short: three underlines at most</translation>
    </message>
    <message>
        <source>一个音只能有一个附点</source>
        <translation>a note takes only one dot</translation>
    </message>
    <message>
        <source>音太高，按住 Shift 也弹不到</source>
        <translation>too high to play, even with Shift</translation>
    </message>
    <message>
        <source>音太低，按住 Ctrl 也弹不到</source>
        <translation>too low to play, even with Ctrl</translation>
    </message>
    <message>
        <source>不认识的调号</source>
        <translation>unknown key</translation>
    </message>
    <message>
        <source>不认识的拍号</source>
        <translation>unknown time signature</translation>
    </message>
    <message>
        <source>弱起的时值不对</source>
        <translation>wrong upbeat length</translation>
    </message>
    <message>
        <source>速度须写成 4=每分钟四分音符数，在 20 到 400 之间</source>
        <translation>the tempo must be 4=N, N quarter notes a minute from 20 to 400</translation>
    </message>
    <message>
        <source>速度须写在第一个音之前</source>
        <translation>the tempo must come before the first note</translation>
    </message>
    <message>
        <source>拍号须写在小节开头</source>
        <translation>a time signature must stand at the start of a bar</translation>
    </message>
    <message>
        <source>小节线不在小节的末尾</source>
        <translation>the bar line is not at the end of a bar</translation>
    </message>
    <message>
        <source>音越过了小节线，请写成两个用连音线连起来的音</source>
        <translation>the note runs over the bar line; write it as two tied notes</translation>
    </message>
    <message>
        <source>增时线前面没有可延长的音</source>
        <translation>no note before the dash to lengthen</translation>
    </message>
    <message>
        <source>三连音里的音不能加增时线</source>
        <translation>a note in a triplet cannot take a dash</translation>
    </message>
    <message>
        <source>连音线须连接前后两个音</source>
        <translation>a tie must join two notes</translation>
    </message>
    <message>
        <source>连音线连接的两个音音高不同</source>
        <translation>the tied notes differ in pitch</translation>
    </message>
    <message>
        <source>连音线不能跨过反复记号</source>
        <translation>a tie cannot cross a repeat sign</translation>
    </message>
    <message>
        <source>只支持三连音 3[ ]</source>
        <translation>only triplets 3[ ] are supported</translation>
    </message>
    <message>
        <source>三连音缺少结尾的 ]</source>
        <translation>the triplet has no closing ]</translation>
    </message>
    <message>
        <source>三连音里不能再有三连音</source>
        <translation>a triplet cannot hold another triplet</translation>
    </message>
    <message>
        <source>多余的 ]</source>
        <translation>a ] with no triplet to close</translation>
    </message>
    <message>
        <source>三连音里只能写音符</source>
        <translation>a triplet holds notes only</translation>
    </message>
    <message>
        <source>反复里不能再有反复</source>
        <translation>a repeat cannot hold another repeat</translation>
    </message>
    <message>
        <source>反复缺少结尾的 }</source>
        <translation>the repeat has no closing }</translation>
    </message>
    <message>
        <source>多余的 }</source>
        <translation>a } with no repeat to close</translation>
    </message>
    <message>
        <source>不同结尾 A{ } 须紧跟在反复 R{ } 之后</source>
        <translation>endings A{ } must follow a repeat R{ } directly</translation>
    </message>
    <message>
        <source>文字缺少结尾的引号</source>
        <translation>the text has no closing quote</translation>
    </message>
    <message>
        <source>装饰音缺少结尾的 ]</source>
        <translation>the grace notes have no closing ]</translation>
    </message>
    <message>
        <source>文件%s太大，不是歌曲文件.</source>
        <translation>The file %s is too large to be a song.</translation>
    </message>
    <message>
        <source>文件%s不是UTF-8编码的文本.</source>
        <translation>The file %s is not UTF-8 text.</translation>
    </message>
    <message>
        <source>文件%s里没有要弹的音.</source>
        <translation>The file %s has no notes to play.</translation>
    </message>
    <message>
        <source>歌曲%s太长，写出反复后超过一百万个音.</source>
        <translation>The song %s is too long: over a million notes once its repeats are written out.</translation>
    </message>
    <message>
        <source>歌曲%s第%d行的“%s”：%s.</source>
        <translation>Song %s, line %d, “%s”: %s.</translation>
    </message>
</context>
<context>
    <name>Transport</name>
    <message>
        <source>请打开开关</source>
        <translation>Please open the output first.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>tonvale::AboutBox</name>
    <message>
        <source>联系：</source>
        <translation>Contact:</translation>
    </message>
    <message>
        <source>主页：</source>
        <translation>Home page:</translation>
    </message>
    <message>
        <source>下载地址一：</source>
        <translation>Download 1:</translation>
    </message>
    <message>
        <source>下载地址二：</source>
        <translation>Download 2:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>键盘乐器</source>
        <translation>keyboard music</translation>
    </message>
</context>
<context>
    <name>tonvale::ClientArea</name>
    <message>
        <source>开始录制</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>停止录制</source>
        <translation>Stop Rec</translation>
    </message>
    <message>
        <source>开始播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>循环播放</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>停止播放</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>声道 %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>1 演奏的同时按Shift键(或Ctrl键)升高(或降低)一个8级音阶。 2 出现声音异常请按 Esc</source>
        <translation>1 Hold Shift (or Ctrl) while playing to go up (or down) an octave. 2 If the sound goes wrong, press Esc</translation>
    </message>
    <message>
        <source>力度</source>
        <translation>Vel.</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Bend</translation>
    </message>
</context>
<context>
    <name>tonvale::FileDialog</name>
    <message>
        <source>%1
该文件不存在。
要创建该文件吗?</source>
        <translation>%1
This file does not exist.
Create it?</translation>
    </message>
</context>
<context>
    <name>tonvale::HelpWindow</name>
    <message>
        <source>目录</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Tonvale 帮助</source>
        <translation>Tonvale Help</translation>
    </message>
</context>
<context>
    <name>tonvale::MainWindow</name>
    <message>
        <source>No MIDI output devices!</source>
        <translation>No MIDI output devices!</translation>
    </message>
    <message>
        <source>Cannot open MIDI device</source>
        <translation>Cannot open MIDI device</translation>
    </message>
</context>
<context>
    <name>tonvale::SongBand</name>
    <message>
        <source>预备</source>
        <translation>Ready</translation>
    </message>
</context>
<context>
    <name>tonvale::SongPractice</name>
    <message>
        <source>简谱乐曲或录音</source>
        <translation>Songs and recordings</translation>
    </message>
    <message>
        <source>跟弹</source>
        <translation>Wait for Me</translation>
    </message>
    <message>
        <source>随拍 %1%</source>
        <translation>Play Along %1%</translation>
    </message>
    <message>
        <source>示范 %1%</source>
        <translation>Listen %1%</translation>
    </message>
    <message>
        <source>《%1》%2：%3 个音弹对 %4 个，时间差中位数 %5 毫秒</source>
        <translation>“%1” %2: %4 of %3 right, timing %5 ms</translation>
    </message>
    <message>
        <source>《%1》%2：%3 个音弹对 %4 个</source>
        <translation>“%1” %2: %4 of %3 right</translation>
    </message>
</context>
</TS>
