<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>About</name>
    <message>
        <source>About...</source>
        <translation>Sobre...</translation>
    </message>
    <message>
        <source>Quendar Morvane 9</source>
        <translation>Quendar Morvane 9</translation>
    </message>
    <message>
        <source>Character, Stage and Font editor for Mugen 1.0</source>
        <translation>Editor de personagens, cenários e fontes para Mugen 1.0</translation>
    </message>
    <message>
        <source>&lt;p align=&quot;center&quot;&gt;Made by &lt;b&gt;the Morvane developers&lt;/b&gt;.&lt;br/&gt;Icons from the Tango Desktop Project (public domain).&lt;/p&gt;</source>
        <translation>&lt;p align=&quot;center&quot;&gt;Feito pelos &lt;b&gt;desenvolvedores do Morvane&lt;/b&gt;.&lt;br/&gt;Ícones do Tango Desktop Project (domínio público).&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p align=&quot;center&quot;&gt;This program uses the Qt libraries under the GNU Lesser General Public License (LGPL) version 3.&lt;/p&gt;</source>
        <translation>&lt;p align=&quot;center&quot;&gt;Este programa usa as bibliotecas Qt sob a GNU Lesser General Public License (LGPL), versão 3.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>AnimationCommands</name>
    <message>
        <source>Change frame group</source>
        <translation>Alterar grupo do quadro</translation>
    </message>
    <message>
        <source>Change frame number</source>
        <translation>Alterar número do quadro</translation>
    </message>
    <message>
        <source>Move frame offset</source>
        <translation>Mover deslocamento do quadro</translation>
    </message>
    <message>
        <source>Change frame time</source>
        <translation>Alterar tempo do quadro</translation>
    </message>
    <message>
        <source>Change flip</source>
        <translation>Alterar inversão</translation>
    </message>
    <message>
        <source>Change transparency</source>
        <translation>Alterar transparência</translation>
    </message>
    <message>
        <source>Change transparency source</source>
        <translation>Alterar origem da transparência</translation>
    </message>
    <message>
        <source>Change transparency destination</source>
        <translation>Alterar destino da transparência</translation>
    </message>
    <message>
        <source>Change Loopstart</source>
        <translation>Alterar Loopstart</translation>
    </message>
    <message>
        <source>Rename action</source>
        <translation>Renomear ação</translation>
    </message>
    <message>
        <source>Change action number</source>
        <translation>Alterar número da ação</translation>
    </message>
    <message>
        <source>Delete action %1</source>
        <translation>Excluir ação %1</translation>
    </message>
    <message>
        <source>Delete frame %1</source>
        <translation>Excluir quadro %1</translation>
    </message>
    <message>
        <source>New action</source>
        <translation>Nova ação</translation>
    </message>
    <message>
        <source>New frame</source>
        <translation>Novo quadro</translation>
    </message>
</context>
<context>
    <name>FileRead</name>
    <message>
        <source>The file does not exist.</source>
        <translation>O arquivo não existe.</translation>
    </message>
    <message>
        <source>This is not a file.</source>
        <translation>Isto não é um arquivo.</translation>
    </message>
    <message>
        <source>The file is too large (%1 MB) to be one of its kind.</source>
        <translation>O arquivo é grande demais (%1 MB) para ser desse tipo.</translation>
    </message>
    <message>
        <source>The file is too large to be one of its kind.</source>
        <translation>O arquivo é grande demais para ser desse tipo.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Morvane  9 Beta 1</source>
        <translation>Morvane  9 Beta 1</translation>
    </message>
    <message>
        <source>SFF</source>
        <translation>SFF</translation>
    </message>
    <message>
        <source>Sprites:</source>
        <translation>Sprites:</translation>
    </message>
    <message>
        <source>Display the active sprite index and the total number of sprites</source>
        <translation>Mostra o índice do sprite ativo e o número total de sprites</translation>
    </message>
    <message>
        <source>0 / 0</source>
        <translation>0 / 0</translation>
    </message>
    <message>
        <source>Sets the sprite active for editing among those available in SFF</source>
        <translation>Define qual dos sprites do SFF fica ativo para edição</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>Grupo:</translation>
    </message>
    <message>
        <source>Number:</source>
        <translation>Número:</translation>
    </message>
    <message>
        <source>Sprite group in SFF</source>
        <translation>Grupo do sprite no SFF</translation>
    </message>
    <message>
        <source>Image number within the group</source>
        <translation>Número da imagem dentro do grupo</translation>
    </message>
    <message>
        <source>X axis:</source>
        <translation>Eixo X:</translation>
    </message>
    <message>
        <source>Y axis:</source>
        <translation>Eixo Y:</translation>
    </message>
    <message>
        <source>X axis of the sprite</source>
        <translation>Eixo X do sprite</translation>
    </message>
    <message>
        <source>Sprite Y axis</source>
        <translation>Eixo Y do sprite</translation>
    </message>
    <message>
        <source>Tell&apos;s Mugen to decompress the images when loading the SFF file.</source>
        <translation>Indica ao Mugen que descompacte as imagens ao carregar o arquivo SFF.</translation>
    </message>
    <message>
        <source>Decompress on load</source>
        <translation>Descompactar ao carregar</translation>
    </message>
    <message>
        <source>Automatically set the current image&apos;s palette as active palette in ACT editor.</source>
        <translation>Define automaticamente a paleta da imagem atual como paleta ativa no editor de ACT.</translation>
    </message>
    <message>
        <source>Switch to image&apos;s palette</source>
        <translation>Mudar para a paleta da imagem</translation>
    </message>
    <message>
        <source>Show transparency color</source>
        <translation>Mostrar cor de transparência</translation>
    </message>
    <message>
        <source>ACT</source>
        <translation>ACT</translation>
    </message>
    <message>
        <source>Palettes:</source>
        <translation>Paletas:</translation>
    </message>
    <message>
        <source>Sets the palette active for editing among those available in SFF</source>
        <translation>Define qual das paletas do SFF fica ativa para edição</translation>
    </message>
    <message>
        <source>Display the active palette index and the total number of palettes</source>
        <translation>Mostra o índice da paleta ativa e o número total de paletas</translation>
    </message>
    <message>
        <source>Palette group in SFF</source>
        <translation>Grupo da paleta no SFF</translation>
    </message>
    <message>
        <source>Palette number within the group</source>
        <translation>Número da paleta dentro do grupo</translation>
    </message>
    <message>
        <source>Display the active sprite in SFF with the active palette</source>
        <translation>Mostra o sprite ativo do SFF com a paleta ativa</translation>
    </message>
    <message>
        <source>Show sprite with the active palette</source>
        <translation>Mostrar sprite com a paleta ativa</translation>
    </message>
    <message>
        <source>Blue to Red</source>
        <translation>Azul para vermelho</translation>
    </message>
    <message>
        <source>Blue to Green</source>
        <translation>Azul para verde</translation>
    </message>
    <message>
        <source>Green to Red</source>
        <translation>Verde para vermelho</translation>
    </message>
    <message>
        <source>Green to Blue</source>
        <translation>Verde para azul</translation>
    </message>
    <message>
        <source>Red to Green</source>
        <translation>Vermelho para verde</translation>
    </message>
    <message>
        <source>Red to Blue</source>
        <translation>Vermelho para azul</translation>
    </message>
    <message>
        <source>Lighter</source>
        <translation>Mais claro</translation>
    </message>
    <message>
        <source>Darker</source>
        <translation>Mais escuro</translation>
    </message>
    <message>
        <source>Monochrome</source>
        <translation>Monocromático</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Fogo</translation>
    </message>
    <message>
        <source>Saphire</source>
        <translation>Safira</translation>
    </message>
    <message>
        <source>Stone</source>
        <translation>Pedra</translation>
    </message>
    <message>
        <source>SND</source>
        <translation>SND</translation>
    </message>
    <message>
        <source>Sounds:</source>
        <translation>Sons:</translation>
    </message>
    <message>
        <source>Display the active sound index and the total number of sounds</source>
        <translation>Mostra o índice do som ativo e o número total de sons</translation>
    </message>
    <message>
        <source>Sets the sound active for editing among those available in SND</source>
        <translation>Define qual dos sons do SND fica ativo para edição</translation>
    </message>
    <message>
        <source>Sound group in SND</source>
        <translation>Grupo do som no SND</translation>
    </message>
    <message>
        <source>Sound number within the group</source>
        <translation>Número do som dentro do grupo</translation>
    </message>
    <message>
        <source>Channels: --
Sample rate: --
Bits per sample: --
Duration: --</source>
        <translation>Canais: --
Taxa de amostragem: --
Bits por amostra: --
Duração: --</translation>
    </message>
    <message>
        <source>AIR</source>
        <translation>AIR</translation>
    </message>
    <message>
        <source>Animations:</source>
        <translation>Animações:</translation>
    </message>
    <message>
        <source>Display the active animations index and the total number of animations</source>
        <translation>Mostra o índice da animação ativa e o número total de animações</translation>
    </message>
    <message>
        <source>Sets the animation active for editing among those available in AIR</source>
        <translation>Define qual das animações do AIR fica ativa para edição</translation>
    </message>
    <message>
        <source>Add a new animation</source>
        <translation>Adicionar uma nova animação</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Delete the active animation</source>
        <translation>Excluir a animação ativa</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nome:</translation>
    </message>
    <message>
        <source>Name of the animation</source>
        <translation>Nome da animação</translation>
    </message>
    <message>
        <source>Number of the animation (Begin Action number)</source>
        <translation>Número da animação (número do Begin Action)</translation>
    </message>
    <message>
        <source>Frames:</source>
        <translation>Quadros:</translation>
    </message>
    <message>
        <source>Display the active frame index and the total number of frames in the active animation</source>
        <translation>Mostra o índice do quadro ativo e o número total de quadros da animação ativa</translation>
    </message>
    <message>
        <source>Sets the frame active for editing among those available in the active animation</source>
        <translation>Define qual dos quadros da animação ativa fica ativo para edição</translation>
    </message>
    <message>
        <source>Add a new frame in the active animation</source>
        <translation>Adicionar um novo quadro à animação ativa</translation>
    </message>
    <message>
        <source>Delete the active frame</source>
        <translation>Excluir o quadro ativo</translation>
    </message>
    <message>
        <source>Group of the frame sprite in SFF</source>
        <translation>Grupo do sprite do quadro no SFF</translation>
    </message>
    <message>
        <source>Sprite number within the group</source>
        <translation>Número do sprite dentro do grupo</translation>
    </message>
    <message>
        <source>X axis of the frame related to the sprite axis</source>
        <translation>Eixo X do quadro em relação ao eixo do sprite</translation>
    </message>
    <message>
        <source>Y axis of the frame related to the sprite axis</source>
        <translation>Eixo Y do quadro em relação ao eixo do sprite</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Tempo:</translation>
    </message>
    <message>
        <source>Flip:</source>
        <translation>Inversão:</translation>
    </message>
    <message>
        <source>Time of the frame in game ticks</source>
        <translation>Duração do quadro em ticks do jogo</translation>
    </message>
    <message>
        <source>Sets a flip effect on the frame</source>
        <translation>Define um efeito de inversão no quadro</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Nenhuma</translation>
    </message>
    <message>
        <source>Vertically</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>Horizontally</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>Both</source>
        <translation>Ambas</translation>
    </message>
    <message>
        <source>Transparency:</source>
        <translation>Transparência:</translation>
    </message>
    <message>
        <source>Source / Dest</source>
        <translation>Origem / Destino</translation>
    </message>
    <message>
        <source>Sets the transparency of the frame</source>
        <translation>Define a transparência do quadro</translation>
    </message>
    <message>
        <source>Addition</source>
        <translation>Adição</translation>
    </message>
    <message>
        <source>Subtraction</source>
        <translation>Subtração</translation>
    </message>
    <message>
        <source>Sets the additive alpha source</source>
        <translation>Define a origem do alfa aditivo</translation>
    </message>
    <message>
        <source>Sets the additive alpha destination</source>
        <translation>Define o destino do alfa aditivo</translation>
    </message>
    <message>
        <source>Start loop in this frame</source>
        <translation>Iniciar o loop neste quadro</translation>
    </message>
    <message>
        <source>Add an attack box</source>
        <translation>Adicionar uma caixa de ataque</translation>
    </message>
    <message>
        <source>Add an collision box</source>
        <translation>Adicionar uma caixa de colisão</translation>
    </message>
    <message>
        <source>Delete the selected boxes</source>
        <translation>Excluir as caixas selecionadas</translation>
    </message>
    <message>
        <source>Change the type of the selected boxes</source>
        <translation>Alterar o tipo das caixas selecionadas</translation>
    </message>
    <message>
        <source>Sets the selected boxes as default for the active frame and the following or unset</source>
        <translation>Define as caixas selecionadas como padrão para o quadro ativo e os seguintes, ou remove essa definição</translation>
    </message>
    <message>
        <source>DEF / CMD / CNS</source>
        <translation>DEF / CMD / CNS</translation>
    </message>
    <message>
        <source>Definitions / Coding:</source>
        <translation>Definições / Código:</translation>
    </message>
    <message>
        <source>Issues</source>
        <translation>Problemas</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Pesquisa</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Localizar:</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Próximo</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Anterior</translation>
    </message>
    <message>
        <source>Find text in code only where capital and small letters are as typed</source>
        <translation>Localizar no código apenas o texto com maiúsculas e minúsculas exatamente como digitado</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Diferenciar maiúsculas/minúsculas</translation>
    </message>
    <message>
        <source>Find text in code only as a whole word, not inside a longer one</source>
        <translation>Localizar no código apenas a palavra inteira, não como parte de uma palavra maior</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Palavras inteiras</translation>
    </message>
    <message>
        <source>Replace with:</source>
        <translation>Substituir por:</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Tudo</translation>
    </message>
    <message>
        <source>Palette ReMap</source>
        <translation>Remapeamento</translation>
    </message>
    <message>
        <source>Add a remap row: source palette to destination palette</source>
        <translation>Adicionar uma linha de remapeamento: paleta de origem para paleta de destino</translation>
    </message>
    <message>
        <source>Delete the selected remap row</source>
        <translation>Excluir a linha de remapeamento selecionada</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Histórico</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Arquivo</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Exibir</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>Codificação</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>DEF/CMD/CNS</source>
        <translation>DEF/CMD/CNS</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ajuda</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Novo</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Salvar como</translation>
    </message>
    <message>
        <source>New sprite</source>
        <translation>Novo sprite</translation>
    </message>
    <message>
        <source>Change image</source>
        <translation>Trocar imagem</translation>
    </message>
    <message>
        <source>Save image</source>
        <translation>Salvar imagem</translation>
    </message>
    <message>
        <source>Duplicate sprite</source>
        <translation>Duplicar sprite</translation>
    </message>
    <message>
        <source>Delete sprite</source>
        <translation>Excluir sprite</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>Sobre...</translation>
    </message>
    <message>
        <source>Delete all</source>
        <translation>Excluir todas</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplicar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>Cor de fundo</translation>
    </message>
    <message>
        <source>Attack CLSN</source>
        <translation>CLSN de ataque</translation>
    </message>
    <message>
        <source>Collision CLSN</source>
        <translation>CLSN de colisão</translation>
    </message>
    <message>
        <source>Default CLSN</source>
        <translation>CLSN padrão</translation>
    </message>
    <message>
        <source>New sound</source>
        <translation>Novo som</translation>
    </message>
    <message>
        <source>Change sound</source>
        <translation>Trocar som</translation>
    </message>
    <message>
        <source>Save sound</source>
        <translation>Salvar som</translation>
    </message>
    <message>
        <source>Duplicate sound</source>
        <translation>Duplicar som</translation>
    </message>
    <message>
        <source>Delete sound</source>
        <translation>Excluir som</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproduzir</translation>
    </message>
    <message>
        <source>Play with loop</source>
        <translation>Reproduzir em loop</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message>
        <source>Text mode</source>
        <translation>Modo texto</translation>
    </message>
    <message>
        <source>Save as GIF</source>
        <translation>Salvar como GIF</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Localizar</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Desfazer</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Refazer</translation>
    </message>
    <message>
        <source>Utilities</source>
        <translation>Utilitários</translation>
    </message>
    <message>
        <source>UTF-8</source>
        <translation>UTF-8</translation>
    </message>
    <message>
        <source>Read or write the current code file as UTF-8</source>
        <translation>Ler ou gravar o arquivo de código atual em UTF-8</translation>
    </message>
    <message>
        <source>Windows-1252 (Western)</source>
        <translation>Windows-1252 (Ocidental)</translation>
    </message>
    <message>
        <source>Read or write the current code file in the Western code page</source>
        <translation>Ler ou gravar o arquivo de código atual na página de código ocidental</translation>
    </message>
    <message>
        <source>Shift-JIS (Japanese)</source>
        <translation>Shift-JIS (Japonês)</translation>
    </message>
    <message>
        <source>Read or write the current code file in the Japanese code page</source>
        <translation>Ler ou gravar o arquivo de código atual na página de código japonesa</translation>
    </message>
    <message>
        <source>CP949 (Korean)</source>
        <translation>CP949 (Coreano)</translation>
    </message>
    <message>
        <source>Read or write the current code file in the Korean code page</source>
        <translation>Ler ou gravar o arquivo de código atual na página de código coreana</translation>
    </message>
    <message>
        <source>GBK (Simplified Chinese)</source>
        <translation>GBK (Chinês simplificado)</translation>
    </message>
    <message>
        <source>Read or write the current code file in the Simplified Chinese code page</source>
        <translation>Ler ou gravar o arquivo de código atual na página de código do chinês simplificado</translation>
    </message>
    <message>
        <source>Big5 (Traditional Chinese)</source>
        <translation>Big5 (Chinês tradicional)</translation>
    </message>
    <message>
        <source>Read or write the current code file in the Traditional Chinese code page</source>
        <translation>Ler ou gravar o arquivo de código atual na página de código do chinês tradicional</translation>
    </message>
    <message>
        <source>Go to line...</source>
        <translation>Ir para a linha...</translation>
    </message>
    <message>
        <source>Put the cursor on a line of the current code file</source>
        <translation>Colocar o cursor em uma linha do arquivo de código atual</translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation>Ctrl+G</translation>
    </message>
    <message>
        <source>Go to Statedef</source>
        <translation>Ir para o Statedef</translation>
    </message>
    <message>
        <source>Go to the Statedef that the state number under the cursor names, in any open code file</source>
        <translation>Ir para o Statedef indicado pelo número de estado sob o cursor, em qualquer arquivo de código aberto</translation>
    </message>
    <message>
        <source>F2</source>
        <translation>F2</translation>
    </message>
    <message>
        <source>Next problem</source>
        <translation>Próximo problema</translation>
    </message>
    <message>
        <source>Go to the next problem the checker marked</source>
        <translation>Ir para o próximo problema marcado pelo verificador</translation>
    </message>
    <message>
        <source>F8</source>
        <translation>F8</translation>
    </message>
    <message>
        <source>Previous problem</source>
        <translation>Problema anterior</translation>
    </message>
    <message>
        <source>Go to the previous problem the checker marked</source>
        <translation>Ir para o problema anterior marcado pelo verificador</translation>
    </message>
    <message>
        <source>Shift+F8</source>
        <translation>Shift+F8</translation>
    </message>
    <message>
        <source>Animations (*.air)</source>
        <translation>Animações (*.air)</translation>
    </message>
    <message>
        <source>Open AIR</source>
        <translation>Abrir AIR</translation>
    </message>
    <message>
        <source>Save AIR</source>
        <translation>Salvar AIR</translation>
    </message>
    <message>
        <source>Loading animations...</source>
        <translation>Carregando animações...</translation>
    </message>
    <message>
        <source>Saving animations...</source>
        <translation>Salvando animações...</translation>
    </message>
    <message>
        <source>You can&apos;t save an empty AIR because Mugen will not open it.</source>
        <translation>Não é possível salvar um AIR vazio, pois o Mugen não conseguirá abri-lo.</translation>
    </message>
    <message>
        <source>The file %1 could not be read.
%2</source>
        <translation>Não foi possível ler o arquivo %1.
%2</translation>
    </message>
    <message>
        <source>The animations were not saved to %1.
%2</source>
        <translation>As animações não foram salvas em %1.
%2</translation>
    </message>
    <message>
        <source>Some action names hold characters that %1 cannot hold. Save the file as UTF-8 instead?</source>
        <translation>Alguns nomes de ações contêm caracteres que %1 não consegue representar. Deseja salvar o arquivo em UTF-8?</translation>
    </message>
    <message>
        <source>sprite %1,%2 not in the SFF</source>
        <translation>sprite %1,%2 não está no SFF</translation>
    </message>
    <message>
        <source>not in the SFF</source>
        <translation>não está no SFF</translation>
    </message>
    <message>
        <source>Delete animation</source>
        <translation>Excluir animação</translation>
    </message>
    <message>
        <source>Do you really want to delete the animation</source>
        <translation>Deseja realmente excluir a animação?</translation>
    </message>
    <message>
        <source>Delete frame</source>
        <translation>Excluir quadro</translation>
    </message>
    <message>
        <source>You can&apos;t delete the first frame because Mugen doesn&apos;t support empty animations.</source>
        <translation>Não é possível excluir o primeiro quadro, pois o Mugen não aceita animações vazias.</translation>
    </message>
    <message>
        <source>Do you really want to delete the frame?</source>
        <translation>Deseja realmente excluir o quadro?</translation>
    </message>
    <message>
        <source>Save GIF</source>
        <translation>Salvar GIF</translation>
    </message>
    <message>
        <source>You can&apos;t save an empty animation as GIF.</source>
        <translation>Não é possível salvar uma animação vazia como GIF.</translation>
    </message>
    <message>
        <source>Graphics Interchange Format (*.gif)</source>
        <translation>Graphics Interchange Format (*.gif)</translation>
    </message>
    <message>
        <source>The GIF could not be written to %1.
%2</source>
        <translation>Não foi possível gravar o GIF em %1.
%2</translation>
    </message>
    <message>
        <source>Definitions (*.def);;Commands (*.cmd);;Constants (*.cns);;States (*.st);;Text File (*.txt)</source>
        <translation>Definições (*.def);;Comandos (*.cmd);;Constantes (*.cns);;Estados (*.st);;Arquivo de texto (*.txt)</translation>
    </message>
    <message>
        <source>Open DEF/CMD/CNS</source>
        <translation>Abrir DEF/CMD/CNS</translation>
    </message>
    <message>
        <source>All files (*.*);;Definitions (*.def);;Commands (*.cmd);;Constants (*.cns);;States (*.st)</source>
        <translation>Todos os arquivos (*.*);;Definições (*.def);;Comandos (*.cmd);;Constantes (*.cns);;Estados (*.st)</translation>
    </message>
    <message>
        <source>Parsing file</source>
        <translation>Analisando o arquivo</translation>
    </message>
    <message>
        <source>The file %1 could not be opened.</source>
        <translation>Não foi possível abrir o arquivo %1.</translation>
    </message>
    <message>
        <source>Save DEF/CMD/CNS</source>
        <translation>Salvar DEF/CMD/CNS</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Não encontrado</translation>
    </message>
    <message>
        <source>Not a group,number</source>
        <translation>Não é um grupo,número</translation>
    </message>
    <message numerus="yes">
        <source>%n replaced</source>
        <translation>
            <numerusform>%n ocorrência substituída</numerusform>
            <numerusform>%n ocorrências substituídas</numerusform>
        </translation>
    </message>
    <message>
        <source>&lt;saved&gt;</source>
        <translation>&lt;salvo&gt;</translation>
    </message>
    <message>
        <source>Morvane 9</source>
        <translation>Morvane 9</translation>
    </message>
    <message>
        <source>Do you really want to discard the changes made in the sprites and/or palettes</source>
        <translation>Deseja realmente descartar as alterações feitas nos sprites e/ou nas paletas?</translation>
    </message>
    <message>
        <source>Do you really want to discard the changes made in the sounds</source>
        <translation>Deseja realmente descartar as alterações feitas nos sons?</translation>
    </message>
    <message>
        <source>Do you really want to discard the changes made in the animations</source>
        <translation>Deseja realmente descartar as alterações feitas nas animações?</translation>
    </message>
    <message>
        <source>Discard changes</source>
        <translation>Descartar alterações</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Desfazer: %1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Refazer: %1</translation>
    </message>
    <message>
        <source>Stage</source>
        <translation>Cenário</translation>
    </message>
    <message>
        <source>Storyboard</source>
        <translation>Storyboard</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Fonte</translation>
    </message>
    <message>
        <source>Character</source>
        <translation>Personagem</translation>
    </message>
    <message>
        <source>Open char</source>
        <translation>Abrir personagem</translation>
    </message>
    <message>
        <source>Definitions (*.def)</source>
        <translation>Definições (*.def)</translation>
    </message>
    <message>
        <source>Loading definitions...</source>
        <translation>Carregando definições...</translation>
    </message>
    <message>
        <source>%1: file &apos;%2&apos; named by &apos;%3&apos; %4</source>
        <translation>%1: o arquivo &apos;%2&apos; indicado por &apos;%3&apos; %4</translation>
    </message>
    <message>
        <source>%1: file &apos;%2&apos; named by &apos;%3&apos; was not found</source>
        <translation>%1: o arquivo &apos;%2&apos; indicado por &apos;%3&apos; não foi encontrado</translation>
    </message>
    <message>
        <source>is the DEF itself</source>
        <translation>é o próprio DEF</translation>
    </message>
    <message>
        <source>could not be read: %1</source>
        <translation>não pôde ser lido: %1</translation>
    </message>
    <message>
        <source>not a file of its kind</source>
        <translation>não é um arquivo do tipo esperado</translation>
    </message>
    <message>
        <source>Loading sprites...</source>
        <translation>Carregando sprites...</translation>
    </message>
    <message>
        <source>Loading palettes...</source>
        <translation>Carregando paletas...</translation>
    </message>
    <message>
        <source>is not a palette of 256 colours</source>
        <translation>não é uma paleta de 256 cores</translation>
    </message>
    <message>
        <source>Parsing animations...</source>
        <translation>Analisando animações...</translation>
    </message>
    <message>
        <source>Loading sounds...</source>
        <translation>Carregando sons...</translation>
    </message>
    <message>
        <source>New palette</source>
        <translation>Nova paleta</translation>
    </message>
    <message>
        <source>The file %1 is not a palette of 256 colours.</source>
        <translation>O arquivo %1 não é uma paleta de 256 cores.</translation>
    </message>
    <message>
        <source>The image %1 could not be read.</source>
        <translation>Não foi possível ler a imagem %1.</translation>
    </message>
    <message>
        <source>Background top color</source>
        <translation>Cor superior do fundo</translation>
    </message>
    <message>
        <source>Background bottom color</source>
        <translation>Cor inferior do fundo</translation>
    </message>
    <message>
        <source>Open SND</source>
        <translation>Abrir SND</translation>
    </message>
    <message>
        <source>Save SND</source>
        <translation>Salvar SND</translation>
    </message>
    <message>
        <source>Sounds (*.snd)</source>
        <translation>Sons (*.snd)</translation>
    </message>
    <message>
        <source>Saving sounds...</source>
        <translation>Salvando sons...</translation>
    </message>
    <message>
        <source>You can&apos;t save an empty SND because Mugen will not open it.</source>
        <translation>Não é possível salvar um SND vazio, pois o Mugen não conseguirá abri-lo.</translation>
    </message>
    <message>
        <source>The file %1 could not be used.
%2</source>
        <translation>Não foi possível usar o arquivo %1.
%2</translation>
    </message>
    <message>
        <source>Channels: %1
Sample rate: %2
Bits per sample: %3
Duration: %4</source>
        <translation>Canais: %1
Taxa de amostragem: %2
Bits por amostra: %3
Duração: %4</translation>
    </message>
    <message>
        <source>WAVE (*.wav)</source>
        <translation>WAVE (*.wav)</translation>
    </message>
    <message>
        <source>Do you really want to delete the sound</source>
        <translation>Deseja realmente excluir o som?</translation>
    </message>
    <message>
        <source>All supported (*.pcx *.png *.bmp);;Personal Computer eXchange (*.pcx);;Portable Network Graphic (*.png);;Bitmap (*.bmp)</source>
        <translation>Todos os formatos suportados (*.pcx *.png *.bmp);;Personal Computer eXchange (*.pcx);;Portable Network Graphic (*.png);;Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>Adobe Color Table (*.act)</source>
        <translation>Adobe Color Table (*.act)</translation>
    </message>
    <message>
        <source>Open SFF</source>
        <translation>Abrir SFF</translation>
    </message>
    <message>
        <source>Save SFF</source>
        <translation>Salvar SFF</translation>
    </message>
    <message>
        <source>Sprite File Format (*.sff)</source>
        <translation>Sprite File Format (*.sff)</translation>
    </message>
    <message>
        <source>Saving sprites...</source>
        <translation>Salvando sprites...</translation>
    </message>
    <message>
        <source>You can&apos;t save an empty SFF because Mugen will not open it.</source>
        <translation>Não é possível salvar um SFF vazio, pois o Mugen não conseguirá abri-lo.</translation>
    </message>
    <message>
        <source>The file %1 could not be read.</source>
        <translation>Não foi possível ler o arquivo %1.</translation>
    </message>
    <message>
        <source>The file %1 is not a sprite archive that can be read.</source>
        <translation>O arquivo %1 não é um arquivo de sprites legível.</translation>
    </message>
    <message>
        <source>The sprites were not saved to %1.</source>
        <translation>Os sprites não foram salvos em %1.</translation>
    </message>
    <message>
        <source>SFF 1.01 (older engines)</source>
        <translation>SFF 1.01 (motores antigos)</translation>
    </message>
    <message>
        <source>SFF 2.00 (engine 1.0)</source>
        <translation>SFF 2.00 (motor 1.0)</translation>
    </message>
    <message>
        <source>SFF 2.01 (engine 1.1)</source>
        <translation>SFF 2.01 (motor 1.1)</translation>
    </message>
    <message>
        <source>No linkage</source>
        <translation>Sem vínculo</translation>
    </message>
    <message>
        <source>%1 x %2 pixels</source>
        <translation>%1 x %2 pixels</translation>
    </message>
    <message>
        <source>Linked at %1, %2</source>
        <translation>Vinculado a %1, %2</translation>
    </message>
    <message>
        <source>The image %1 could not be written.</source>
        <translation>Não foi possível gravar a imagem %1.</translation>
    </message>
    <message>
        <source>Do you really want to delete the sprite</source>
        <translation>Deseja realmente excluir o sprite?</translation>
    </message>
    <message>
        <source>Load palette</source>
        <translation>Carregar paleta</translation>
    </message>
    <message>
        <source>The palette could not be written to %1.</source>
        <translation>Não foi possível gravar a paleta em %1.</translation>
    </message>
    <message>
        <source>Duplicate palette</source>
        <translation>Duplicar paleta</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>Excluir paleta</translation>
    </message>
    <message>
        <source>Do you really want to delete the palette</source>
        <translation>Deseja realmente excluir a paleta?</translation>
    </message>
    <message>
        <source>Delete all palettes</source>
        <translation>Excluir todas as paletas</translation>
    </message>
    <message>
        <source>Do you really want to delete all palettes. The sprites aren&apos;t displayed!</source>
        <translation>Deseja realmente excluir todas as paletas? Os sprites não serão exibidos!</translation>
    </message>
    <message>
        <source>Colour effect %1</source>
        <translation>Efeito de cor %1</translation>
    </message>
    <message>
        <source>Set colour</source>
        <translation>Definir cor</translation>
    </message>
    <message>
        <source>Reverse colours</source>
        <translation>Inverter ordem das cores</translation>
    </message>
    <message>
        <source>%1 sprites of this archive could not be read when it was opened. Saving writes the archive as it is now: what could not be read is lost.

Save it anyway?</source>
        <translation>Não foi possível ler %1 sprites deste arquivo quando ele foi aberto. Ao salvar, o arquivo é gravado como está agora: o que não pôde ser lido será perdido.

Salvar mesmo assim?</translation>
    </message>
    <message>
        <source>SFF %1 has no true colour: %2 true-colour sprites will be reduced to 256 colours.</source>
        <translation>O SFF %1 não suporta true color: %2 sprites em true color serão reduzidos a 256 cores.</translation>
    </message>
    <message>
        <source>SFF 1.01 has no palette list of its own: sprites that share a palette are written with the shared flag, each other palette goes into the images drawn with it, and palettes no sprite uses, palette groups and numbers are not kept.</source>
        <translation>O SFF 1.01 não tem lista de paletas própria: os sprites que compartilham uma paleta são gravados com a marcação de paleta compartilhada, cada uma das demais paletas vai para as imagens desenhadas com ela, e as paletas que nenhum sprite usa, assim como os grupos e números de paleta, não são mantidos.</translation>
    </message>
    <message>
        <source>Save as SFF %1?</source>
        <translation>Salvar como SFF %1?</translation>
    </message>
    <message>
        <source>This sprite is true colour: it is drawn with its own colours, so palettes and the remap table do not apply to it.</source>
        <translation>Este sprite é true color: ele é desenhado com as próprias cores, então as paletas e a tabela de remapeamento não se aplicam a ele.</translation>
    </message>
    <message>
        <source>32-bit colour with alpha</source>
        <translation>Cor de 32 bits com alfa</translation>
    </message>
    <message>
        <source>24-bit colour</source>
        <translation>Cor de 24 bits</translation>
    </message>
    <message>
        <source>8-bit, drawn through a palette</source>
        <translation>8 bits, desenhado por meio de uma paleta</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Find next</source>
        <translation>Localizar próximo</translation>
    </message>
    <message>
        <source>Find previous</source>
        <translation>Localizar anterior</translation>
    </message>
    <message>
        <source>Sprite list</source>
        <translation>Lista de sprites</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Aproximar</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Afastar</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Ajustar</translation>
    </message>
    <message>
        <source>1:1</source>
        <translation>1:1</translation>
    </message>
    <message>
        <source>Sprites</source>
        <translation>Sprites</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>Sons</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Ações</translation>
    </message>
    <message>
        <source>Recent files</source>
        <translation>Arquivos recentes</translation>
    </message>
    <message>
        <source>Zoom of the view</source>
        <translation>Zoom da visualização</translation>
    </message>
    <message>
        <source>Save the document shown under another name</source>
        <translation>Salvar o documento exibido com outro nome</translation>
    </message>
    <message>
        <source>Close the document shown</source>
        <translation>Fechar o documento exibido</translation>
    </message>
    <message>
        <source>Show or hide the list of the sprites, sounds or actions of the page</source>
        <translation>Mostrar ou ocultar a lista de sprites, sons ou ações da página</translation>
    </message>
    <message>
        <source>Zoom so that the sprite or frame fills the view</source>
        <translation>Ampliar para que o sprite ou quadro preencha a visualização</translation>
    </message>
    <message>
        <source>Show the sprite or frame at its own size</source>
        <translation>Mostrar o sprite ou quadro em seu próprio tamanho</translation>
    </message>
    <message>
        <source>Type a group and number, such as 9000,1, to go to that item</source>
        <translation>Digite um grupo e número, como 9000,1, para ir a esse item</translation>
    </message>
    <message>
        <source>Go to group,number</source>
        <translation>Ir para grupo,número</translation>
    </message>
    <message>
        <source>Go to number or name</source>
        <translation>Ir para número ou nome</translation>
    </message>
    <message>
        <source>These documents have unsaved changes:</source>
        <translation>Estes documentos têm alterações não salvas:</translation>
    </message>
    <message>
        <source>%1 (sprites and palettes)</source>
        <translation>%1 (sprites e paletas)</translation>
    </message>
    <message>
        <source>%1 (sounds)</source>
        <translation>%1 (sons)</translation>
    </message>
    <message>
        <source>%1 (animations)</source>
        <translation>%1 (animações)</translation>
    </message>
    <message>
        <source>untitled</source>
        <translation>sem título</translation>
    </message>
    <message>
        <source>Saved %1: %2, %3</source>
        <translation>Salvo %1: %2, %3</translation>
    </message>
    <message>
        <source>1 sprite</source>
        <translation>1 sprite</translation>
    </message>
    <message>
        <source>%1 sprites</source>
        <translation>%1 sprites</translation>
    </message>
    <message>
        <source>1 sound</source>
        <translation>1 som</translation>
    </message>
    <message>
        <source>%1 sounds</source>
        <translation>%1 sons</translation>
    </message>
    <message>
        <source>1 action</source>
        <translation>1 ação</translation>
    </message>
    <message>
        <source>%1 actions</source>
        <translation>%1 ações</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 linha</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>%1 linhas</translation>
    </message>
    <message>
        <source>%1 is not open any more</source>
        <translation>%1 não está mais aberto</translation>
    </message>
    <message>
        <source>Sprite %1 (%2)</source>
        <translation>Sprite %1 (%2)</translation>
    </message>
    <message>
        <source>Sprite %1</source>
        <translation>Sprite %1</translation>
    </message>
    <message>
        <source>Sound %1 (%2)</source>
        <translation>Som %1 (%2)</translation>
    </message>
    <message>
        <source>Sound %1</source>
        <translation>Som %1</translation>
    </message>
    <message>
        <source>Line %1, action %2</source>
        <translation>Linha %1, ação %2</translation>
    </message>
    <message>
        <source>Line %1</source>
        <translation>Linha %1</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Ctrl+Shift+S</source>
        <translation>Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>F3</source>
        <translation>F3</translation>
    </message>
    <message>
        <source>Shift+F3</source>
        <translation>Shift+F3</translation>
    </message>
    <message>
        <source>Ctrl++</source>
        <translation>Ctrl++</translation>
    </message>
    <message>
        <source>Ctrl+-</source>
        <translation>Ctrl+-</translation>
    </message>
    <message>
        <source>Ctrl+9</source>
        <translation>Ctrl+9</translation>
    </message>
    <message>
        <source>Ctrl+0</source>
        <translation>Ctrl+0</translation>
    </message>
</context>
<context>
    <name>QActionListModel</name>
    <message>
        <source>1 frame</source>
        <translation>1 quadro</translation>
    </message>
    <message>
        <source>%1 frames</source>
        <translation>%1 quadros</translation>
    </message>
    <message>
        <source>Action %1: %2</source>
        <translation>Ação %1: %2</translation>
    </message>
    <message>
        <source>Another action is %1 too: the engine uses the first one.</source>
        <translation>Outra ação também é %1: o motor usa a primeira.</translation>
    </message>
</context>
<context>
    <name>QAnimations</name>
    <message>
        <source>%1(%2): Text after the time is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto após o tempo é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Invalid flip type &apos;%3&apos;</source>
        <translation>%1(%2): Tipo de inversão inválido: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Invalid transparency &apos;%3&apos;</source>
        <translation>%1(%2): Transparência inválida: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Invalid number &apos;%3&apos;</source>
        <translation>%1(%2): Número inválido: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Text after the frame&apos;s fields is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto após os campos do quadro é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Text before the first action is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto antes da primeira ação é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Text after Loopstart is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto após Loopstart é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Line not understood, kept as it is: &apos;%3&apos;</source>
        <translation>%1(%2): Linha não reconhecida, mantida como está: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Unknown section, kept as it is: &apos;%3&apos;</source>
        <translation>%1(%2): Seção desconhecida, mantida como está: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Unexpected token &apos;%3&apos;</source>
        <translation>%1(%2): Token inesperado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Text after the action number is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto após o número da ação é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Invalid box count &apos;%3&apos;</source>
        <translation>%1(%2): Quantidade de caixas inválida: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Box without a block, kept as it is: &apos;%3&apos;</source>
        <translation>%1(%2): Caixa fora de um bloco, mantida como está: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Box line not understood, kept as it is: &apos;%3&apos;</source>
        <translation>%1(%2): Linha de caixa não reconhecida, mantida como está: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Text after the box is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto após a caixa é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Text after a number is ignored: &apos;%3&apos;</source>
        <translation>%1(%2): O texto após um número é ignorado: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1(%2): Frame line not understood, kept as it is: &apos;%3&apos;</source>
        <translation>%1(%2): Linha de quadro não reconhecida, mantida como está: &apos;%3&apos;</translation>
    </message>
</context>
<context>
    <name>QCodeDocuments</name>
    <message>
        <source>A character cannot be written in %1</source>
        <translation>Um caractere não pode ser gravado em %1</translation>
    </message>
    <message>
        <source>the new file could not take the old one&apos;s place</source>
        <translation>o novo arquivo não pôde substituir o antigo</translation>
    </message>
    <message>
        <source>No such document</source>
        <translation>Documento inexistente</translation>
    </message>
    <message>
        <source>The document has no file</source>
        <translation>O documento não tem arquivo</translation>
    </message>
    <message>
        <source>No file name</source>
        <translation>Sem nome de arquivo</translation>
    </message>
</context>
<context>
    <name>QCodeFiles</name>
    <message>
        <source>Save DEF/CMD/CNS</source>
        <translation>Salvar DEF/CMD/CNS</translation>
    </message>
    <message>
        <source>The file %1 could not be saved: %2</source>
        <translation>Não foi possível salvar o arquivo %1: %2</translation>
    </message>
    <message>
        <source>Line %1 holds the character &quot;%2&quot;, which %3 cannot represent. Save %4 in UTF-8 instead? Cancel leaves the file as it is.</source>
        <translation>A linha %1 contém o caractere &quot;%2&quot;, que %3 não consegue representar. Deseja salvar %4 em UTF-8? Cancelar deixa o arquivo como está.</translation>
    </message>
    <message>
        <source>Discard changes</source>
        <translation>Descartar alterações</translation>
    </message>
    <message>
        <source>Do you really want to discard the changes made in the file %1</source>
        <translation>Deseja realmente descartar as alterações feitas no arquivo %1?</translation>
    </message>
    <message>
        <source>%1 with BOM</source>
        <translation>%1 com BOM</translation>
    </message>
    <message>
        <source>no errors</source>
        <translation>nenhum erro</translation>
    </message>
    <message>
        <source>1 error</source>
        <translation>1 erro</translation>
    </message>
    <message>
        <source>%1 errors</source>
        <translation>%1 erros</translation>
    </message>
    <message>
        <source>no warnings</source>
        <translation>nenhum aviso</translation>
    </message>
    <message>
        <source>1 warning</source>
        <translation>1 aviso</translation>
    </message>
    <message>
        <source>%1 warnings</source>
        <translation>%1 avisos</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>Codificação</translation>
    </message>
    <message>
        <source>Line %1 holds the character &quot;%2&quot;, which %3 cannot represent; saving will ask what to do with it. Use %3 all the same?</source>
        <translation>A linha %1 contém o caractere &quot;%2&quot;, que %3 não consegue representar; ao salvar, será perguntado o que fazer com ele. Usar %3 mesmo assim?</translation>
    </message>
    <message>
        <source>Go to line</source>
        <translation>Ir para a linha</translation>
    </message>
    <message>
        <source>Line (1 to %1):</source>
        <translation>Linha (1 a %1):</translation>
    </message>
    <message>
        <source>No problems</source>
        <translation>Nenhum problema</translation>
    </message>
    <message>
        <source>No state number at the cursor</source>
        <translation>Nenhum número de estado no cursor</translation>
    </message>
    <message>
        <source>Statedef %1 is in none of the open files</source>
        <translation>O Statedef %1 não está em nenhum dos arquivos abertos</translation>
    </message>
</context>
<context>
    <name>QCodeOutline</name>
    <message>
        <source>Line %1</source>
        <translation>Linha %1</translation>
    </message>
</context>
<context>
    <name>QMugenHighlighter</name>
    <message>
        <source>Unexpected end of line</source>
        <translation>Fim de linha inesperado</translation>
    </message>
    <message>
        <source>Unexpected token &apos;%1&apos;</source>
        <translation>Token inesperado: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Text after the value: the engine ignores it</source>
        <translation>Texto após o valor: o motor o ignora</translation>
    </message>
    <message>
        <source>Syntax error</source>
        <translation>Erro de sintaxe</translation>
    </message>
    <message>
        <source>Line outside any section: the engine ignores it</source>
        <translation>Linha fora de qualquer seção: o motor a ignora</translation>
    </message>
    <message>
        <source>Line without &apos;=&apos;: the engine ignores it</source>
        <translation>Linha sem &apos;=&apos;: o motor a ignora</translation>
    </message>
    <message>
        <source>Invalid block</source>
        <translation>Bloco inválido</translation>
    </message>
    <message>
        <source>Wrong StateDef</source>
        <translation>StateDef incorreto</translation>
    </message>
    <message>
        <source>Unknown section inside a Statedef: its lines are read as a state controller</source>
        <translation>Seção desconhecida dentro de um Statedef: suas linhas são lidas como um controlador de estado</translation>
    </message>
    <message>
        <source>Section the engine ignores</source>
        <translation>Seção que o motor ignora</translation>
    </message>
    <message>
        <source>Text after the section header: the engine ignores it</source>
        <translation>Texto após o cabeçalho da seção: o motor o ignora</translation>
    </message>
    <message>
        <source>Second &apos;type&apos; line: the engine keeps the first (is a [State] header missing above?)</source>
        <translation>Segunda linha &apos;type&apos;: o motor mantém a primeira (falta um cabeçalho [State] acima?)</translation>
    </message>
    <message>
        <source>Invalid &apos;State type&apos; value</source>
        <translation>Valor de &apos;State type&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;BG&apos; value</source>
        <translation>Valor de &apos;BG&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Def&apos; value</source>
        <translation>Valor de &apos;Def&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;%1&apos; parameter</source>
        <translation>Parâmetro de &apos;%1&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Data&apos; parameter</source>
        <translation>Parâmetro de &apos;Data&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Size&apos; parameter</source>
        <translation>Parâmetro de &apos;Size&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Velocity&apos; parameter</source>
        <translation>Parâmetro de &apos;Velocity&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Movement&apos; parameter</source>
        <translation>Parâmetro de &apos;Movement&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Files&apos; parameter</source>
        <translation>Parâmetro de &apos;Files&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Arcade&apos; parameter</source>
        <translation>Parâmetro de &apos;Arcade&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Camera&apos; parameter</source>
        <translation>Parâmetro de &apos;Camera&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;PlayerInfo&apos; parameter</source>
        <translation>Parâmetro de &apos;PlayerInfo&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Bound&apos; parameter</source>
        <translation>Parâmetro de &apos;Bound&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;StageInfo&apos; parameter</source>
        <translation>Parâmetro de &apos;StageInfo&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Shadow&apos; parameter</source>
        <translation>Parâmetro de &apos;Shadow&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Reflection&apos; parameter</source>
        <translation>Parâmetro de &apos;Reflection&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Music&apos; parameter</source>
        <translation>Parâmetro de &apos;Music&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;BGDef&apos; parameter</source>
        <translation>Parâmetro de &apos;BGDef&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;FNT v2&apos; parameter</source>
        <translation>Parâmetro de &apos;FNT v2&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Remap&apos; parameter</source>
        <translation>Parâmetro de &apos;Remap&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Remap&apos; value</source>
        <translation>Valor de &apos;Remap&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Defaults&apos; parameter</source>
        <translation>Parâmetro de &apos;Defaults&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Palette Keymap&apos; parameter</source>
        <translation>Parâmetro de &apos;Palette Keymap&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Command&apos; parameter</source>
        <translation>Parâmetro de &apos;Command&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;StateDef type&apos; value</source>
        <translation>Valor de &apos;StateDef type&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;StateDef movetype&apos; value</source>
        <translation>Valor de &apos;StateDef movetype&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;StateDef physics&apos; value</source>
        <translation>Valor de &apos;StateDef physics&apos; inválido</translation>
    </message>
    <message>
        <source>Controller type inside a Statedef: is its [State] header missing?</source>
        <translation>Tipo de controlador dentro de um Statedef: falta o cabeçalho [State]?</translation>
    </message>
    <message>
        <source>Invalid &apos;StateDef&apos; parameter</source>
        <translation>Parâmetro de &apos;StateDef&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Quotes&apos; parameter</source>
        <translation>Parâmetro de &apos;Quotes&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid &apos;Info&apos;&apos; parameter</source>
        <translation>Parâmetro de &apos;Info&apos; inválido</translation>
    </message>
    <message>
        <source>Invalid flip</source>
        <translation>Inversão inválida</translation>
    </message>
    <message>
        <source>Invalid transparency</source>
        <translation>Transparência inválida</translation>
    </message>
    <message>
        <source>Line the engine ignores</source>
        <translation>Linha que o motor ignora</translation>
    </message>
    <message>
        <source>Invalid expression value</source>
        <translation>Valor de expressão inválido</translation>
    </message>
    <message>
        <source>Invalid constant</source>
        <translation>Constante inválida</translation>
    </message>
    <message>
        <source>Invalid value</source>
        <translation>Valor inválido</translation>
    </message>
    <message>
        <source>Decimal number where the engine reads an integer: it keeps the integer part</source>
        <translation>Número decimal onde o motor lê um inteiro: ele mantém a parte inteira</translation>
    </message>
    <message>
        <source>Invalid &apos;State&apos; parameter value</source>
        <translation>Valor de parâmetro de &apos;State&apos; inválido</translation>
    </message>
    <message>
        <source>The engine ignores the letters that do not fit this value</source>
        <translation>O motor ignora as letras que não cabem neste valor</translation>
    </message>
</context>
<context>
    <name>QReMapModel</name>
    <message>
        <source>Src Grp</source>
        <translation>Grupo orig.</translation>
    </message>
    <message>
        <source>Src Num</source>
        <translation>Núm. orig.</translation>
    </message>
    <message>
        <source>Dst Grp</source>
        <translation>Grupo dest.</translation>
    </message>
    <message>
        <source>Dst Num</source>
        <translation>Núm. dest.</translation>
    </message>
</context>
<context>
    <name>QSoundListModel</name>
    <message>
        <source>no sound</source>
        <translation>sem som</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Sound %1: %2, %3</source>
        <translation>Som %1: %2, %3</translation>
    </message>
    <message>
        <source>Sound %1 is %2 too: the engine uses the first one.</source>
        <translation>O som %1 também é %2: o motor usa o primeiro.</translation>
    </message>
</context>
<context>
    <name>QSounds</name>
    <message>
        <source>The file is too large for an SND archive.</source>
        <translation>O arquivo é grande demais para ser um SND.</translation>
    </message>
    <message>
        <source>This is not an SND sound archive.</source>
        <translation>Este não é um arquivo de sons SND.</translation>
    </message>
    <message>
        <source>The file ends before this sound&apos;s header (the archive claims %1 sounds)</source>
        <translation>O arquivo termina antes do cabeçalho deste som (o arquivo indica %1 sons)</translation>
    </message>
    <message>
        <source>The offset of the next sound (%1) points back into this one</source>
        <translation>O deslocamento do próximo som (%1) aponta de volta para dentro deste</translation>
    </message>
    <message>
        <source>The sound&apos;s data (%1 bytes) runs past the end of the file</source>
        <translation>Os dados do som (%1 bytes) ultrapassam o fim do arquivo</translation>
    </message>
    <message>
        <source>The sounds together are larger than an SND archive can hold (4 GB).</source>
        <translation>Os sons, juntos, são maiores do que um arquivo SND comporta (4 GB).</translation>
    </message>
</context>
<context>
    <name>QSprRender</name>
    <message>
        <source>Change default boxes</source>
        <translation>Alterar caixas padrão</translation>
    </message>
    <message>
        <source>Change box type</source>
        <translation>Alterar tipo de caixa</translation>
    </message>
    <message>
        <source>Delete boxes</source>
        <translation>Excluir caixas</translation>
    </message>
    <message>
        <source>Add box</source>
        <translation>Adicionar caixa</translation>
    </message>
    <message>
        <source>Move boxes</source>
        <translation>Mover caixas</translation>
    </message>
    <message>
        <source>Resize boxes</source>
        <translation>Redimensionar caixas</translation>
    </message>
</context>
<context>
    <name>QSpriteListModel</name>
    <message>
        <source>%1 x %2</source>
        <translation>%1 x %2</translation>
    </message>
    <message>
        <source>Sprite %1: %2, %3 pixels</source>
        <translation>Sprite %1: %2, %3 pixels</translation>
    </message>
    <message>
        <source>Sprite %1 is %2 too: the engine uses the first one.</source>
        <translation>O sprite %1 também é %2: o motor usa o primeiro.</translation>
    </message>
</context>
<context>
    <name>QSprites</name>
    <message>
        <source>%1(%2): %3 of %4 sprites could not be read: the file ends at byte %5</source>
        <translation>%1(%2): não foi possível ler %3 de %4 sprites: o arquivo termina no byte %5</translation>
    </message>
    <message>
        <source>%1(0): SFF version &apos;%2.%3.%4.%5&apos; not supported yet</source>
        <translation>%1(0): a versão &apos;%2.%3.%4.%5&apos; do SFF ainda não é suportada</translation>
    </message>
    <message>
        <source>%1(%2): Sprite data is damaged</source>
        <translation>%1(%2): Os dados do sprite estão danificados</translation>
    </message>
    <message>
        <source>%1(%2): Sprite incorrect linked to the index %3</source>
        <translation>%1(%2): Sprite vinculado incorretamente ao índice %3</translation>
    </message>
    <message>
        <source>%1(%2): Palette data is truncated</source>
        <translation>%1(%2): Os dados da paleta estão truncados</translation>
    </message>
    <message>
        <source>%1(%2): Sprite data is not a PNG image</source>
        <translation>%1(%2): Os dados do sprite não são uma imagem PNG</translation>
    </message>
    <message>
        <source>%1(%2): PNG sprite data is cut short</source>
        <translation>%1(%2): Os dados PNG do sprite estão incompletos</translation>
    </message>
    <message>
        <source>%1(%2): PNG sprite data claims %3 x %4 pixels, the sprite has %5 x %6</source>
        <translation>%1(%2): Os dados PNG do sprite indicam %3 x %4 pixels, mas o sprite tem %5 x %6</translation>
    </message>
    <message>
        <source>True-colour sprites can only be saved in SFF 2.01.</source>
        <translation>Sprites em true color só podem ser salvos em SFF 2.01.</translation>
    </message>
</context>
<context>
    <name>SoundCommands</name>
    <message>
        <source>Delete sound %1,%2</source>
        <translation>Excluir som %1,%2</translation>
    </message>
    <message>
        <source>Change sound group</source>
        <translation>Alterar grupo do som</translation>
    </message>
    <message>
        <source>Change sound number</source>
        <translation>Alterar número do som</translation>
    </message>
    <message>
        <source>New sound</source>
        <translation>Novo som</translation>
    </message>
    <message>
        <source>Change sound %1,%2</source>
        <translation>Trocar som %1,%2</translation>
    </message>
    <message>
        <source>Duplicate sound %1,%2</source>
        <translation>Duplicar som %1,%2</translation>
    </message>
</context>
<context>
    <name>SpriteCommands</name>
    <message>
        <source>Change group</source>
        <translation>Alterar grupo</translation>
    </message>
    <message>
        <source>Change number</source>
        <translation>Alterar número</translation>
    </message>
    <message>
        <source>Move axis</source>
        <translation>Mover eixo</translation>
    </message>
    <message>
        <source>Change decompress flag</source>
        <translation>Alterar opção de descompactação</translation>
    </message>
    <message>
        <source>Delete sprite %1,%2</source>
        <translation>Excluir sprite %1,%2</translation>
    </message>
    <message>
        <source>Delete palette</source>
        <translation>Excluir paleta</translation>
    </message>
    <message>
        <source>Change to SFF %1</source>
        <translation>Mudar para SFF %1</translation>
    </message>
    <message>
        <source>Add remap row</source>
        <translation>Adicionar linha de remapeamento</translation>
    </message>
    <message>
        <source>Delete remap row</source>
        <translation>Excluir linha de remapeamento</translation>
    </message>
    <message>
        <source>Change remap row</source>
        <translation>Alterar linha de remapeamento</translation>
    </message>
    <message>
        <source>New sprite</source>
        <translation>Novo sprite</translation>
    </message>
    <message>
        <source>Change image %1,%2</source>
        <translation>Trocar imagem %1,%2</translation>
    </message>
    <message>
        <source>Duplicate sprite %1,%2</source>
        <translation>Duplicar sprite %1,%2</translation>
    </message>
    <message>
        <source>Link sprite %1,%2</source>
        <translation>Vincular sprite %1,%2</translation>
    </message>
    <message>
        <source>Change palette group</source>
        <translation>Alterar grupo da paleta</translation>
    </message>
    <message>
        <source>Change palette number</source>
        <translation>Alterar número da paleta</translation>
    </message>
</context>
<context>
    <name>SpriteDupl</name>
    <message>
        <source>Duplicar sprite</source>
        <translation>Duplicar sprite</translation>
    </message>
    <message>
        <source>Linkar a imagem</source>
        <translation>Vincular a imagem</translation>
    </message>
    <message>
        <source>Duplicar a imagem</source>
        <translation>Duplicar a imagem</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>All rights reserved.</source>
        <translation>Todos os direitos reservados.</translation>
    </message>
</context>
</TS>
